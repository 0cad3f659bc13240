// The main window's layout as data: the scale chosen from the desktop's size, the font
// faces chosen from the system's language, the font size for the screen's DPI, and where
// each control goes with its images, text and colours.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "resources/control_ids.h"
#include "skin/text_alignment.h"

// Control ids of the window's template, as the template names them.
enum ControlId : int {
  kIdExit = IDC_EXIT,
  kIdClose = IDC_CLOSE,
  kIdUpdate = IDC_UPDATE,
  kIdShutdownNow = IDC_SHUTDOWN_NOW,
  kIdShutdownLater = IDC_SHUTDOWN_LATER,
  kIdPromptIcon = IDC_PROMPT_ICON,
  kIdIllustration = IDC_ILLUSTRATION,
  kIdCautionIcon = IDC_CAUTION_ICON,
  kIdMessage = IDC_MESSAGE,
  kIdCaution = IDC_CAUTION,
  kIdSpinner = IDC_SPINNER,
  kIdTitle = IDC_TITLE,
  kIdSubtitle = IDC_SUBTITLE,
};

inline constexpr std::uint32_t kBackgroundImage = 129;
inline constexpr std::uint32_t kFirstSpinnerFrame = 141;
inline constexpr std::uint32_t kLastSpinnerFrame = 148;
inline constexpr std::size_t kTextCapacity = 256;

enum class LayoutSize { kHalf, kFull };

struct LayoutMode {
  LayoutSize size;
  double scale;  // 0.5 or 1
};

// Full scale only when the desktop is wider than 1920 or taller than 1080.
LayoutMode ChooseLayoutMode(int desktopWidth, int desktopHeight);

// The font's em size in pixels: MulDiv(trunc(24 × scale), dpi, 72), then × 96 / dpi.
float FontEmSize(double scale, int dpi);

// MulDiv: a × b / c in 64 bits, rounded half away from zero; -1 when c is 0.
int MulDiv32(int a, int b, int c);

struct FontFaces {
  const char16_t* buttonFace;
  int buttonStyle;  // GDI+ FontStyle: 0 regular, 1 bold
  const char16_t* panelFace;
  int panelStyle;
};

// The faces for the system's user-interface language (not the language of the texts).
FontFaces ChooseFontFaces(std::uint16_t uiLanguage);

// The faces for texts in `textLanguage` on a system whose user-interface language is
// `uiLanguage`: the system's faces while they hold every script of those texts, otherwise
// the faces of the text language itself (Korean texts on an English system would have no
// glyphs in the system's face). A language whose texts are not shipped is shown in
// English, so it needs only the Latin script.
FontFaces ChooseTextFaces(std::uint16_t uiLanguage, std::uint16_t textLanguage);

// Arabic and Hebrew texts are laid out right to left and aligned to the right.
bool ReadsRightToLeft(std::uint16_t textLanguage);

enum class ControlKind { kButton, kPanel };
enum class TextFace { kNone, kButton, kPanel };

// A control of the window: the template's id, what the window makes for it, where it goes
// and how it looks.
struct ControlLayout {
  int id = 0;
  ControlKind kind = ControlKind::kPanel;
  int x = 0, y = 0, width = 0, height = 0;  // at full scale
  // Buttons: normal, disabled, hover, pressed (0: derived). Panels: the first; 0 none.
  std::array<std::uint32_t, 4> images{};
  const char16_t* textKey = nullptr;  // null: no text
  TextFace face = TextFace::kNone;
  float textScale = 1.0f;  // the text's size against the window's em (FontEmSize)
  std::uint32_t textColour = 0, hoverTextColour = 0, pressedTextColour = 0;  // 0: not set
  TextAlignment alignment = TextAlignment::kNotSet, lineAlignment = TextAlignment::kNotSet;
  bool startsHidden = false;
};

// Every control of the window, one row each, in layout order, which is also drawing order
// (later over earlier). The window makes its controls from these rows. The spinner's image
// is the frame the window holds at layout time (0 here).
extern const std::span<const ControlLayout> kWindowLayout;

// The buttons in the order Tab visits them: the window's reading order, top to bottom and
// then left to right, by their places in the layout (buttons in one place, such as Update
// and Exit, in layout order).
std::vector<int> ButtonsInReadingOrder();
