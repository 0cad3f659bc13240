// The main window's layout as data: the scale chosen from the desktop's size, the font
// faces chosen from the system's language, the font size for the screen's DPI, and where
// each control goes with its images, text and colours.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Control ids of the window's template.
enum ControlId : int {
  kIdExit = 1,   // IDOK
  kIdClose = 2,  // IDCANCEL
  kIdUpdate = 1003,
  kIdShutdownNow = 1007,
  kIdShutdownLater = 1008,
  kIdPromptIcon = 149,
  kIdIllustration = 1001,
  kIdCautionIcon = 1002,
  kIdMessage = 1004,
  kIdCaution = 1005,
  kIdSpinner = 1006,
};

inline constexpr std::uint32_t kBackgroundImage = 129;
inline constexpr std::uint32_t kFirstSpinnerFrame = 141;
inline constexpr std::uint32_t kLastSpinnerFrame = 148;
inline constexpr std::size_t kTextCapacity = 256;

struct LayoutMode {
  std::int32_t mode;  // 0 half scale, 1 full scale
  double scale;
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

struct ControlLayout {
  int id;
  ControlKind kind;
  int x, y, width, height;  // at full scale
  // Buttons: normal, disabled, hover, pressed (0: derived). Panels: the first; 0 none.
  std::array<std::uint32_t, 4> images;
  const char16_t* textKey;  // null: no text
  TextFace face;
  std::uint32_t textColour, hoverTextColour, pressedTextColour;  // 0: not set
  int alignment, lineAlignment;                                  // -1: not set
  bool startsHidden;
};

// Every control in layout order, which is also drawing order (later over earlier). The
// spinner's image is the frame the window holds at layout time (0 here).
extern const std::array<ControlLayout, 11> kWindowLayout;

// The buttons in the order Tab visits them: the window's reading order, top to bottom and
// then left to right, by their places in the layout (buttons in one place, such as Update
// and Exit, in layout order).
std::vector<int> ButtonsInReadingOrder();
