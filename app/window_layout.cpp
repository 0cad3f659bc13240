#include "app/window_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kNearBlack = 0xFF020202;
constexpr std::uint32_t kDarkRed = 0xFFA40000;
constexpr std::uint32_t kGrey = 0xFF464646;
constexpr std::uint32_t kThreeQuartersWhite = 0xBFFFFFFF;
constexpr TextAlignment kNear = TextAlignment::kNear, kCenter = TextAlignment::kCenter;
constexpr ControlKind kButton = ControlKind::kButton, kPanel = ControlKind::kPanel;

// clang-format off
constexpr ControlLayout kRows[] = {
    {.id = kIdClose, .kind = kButton, .x = 1448, .y = 38, .width = 76, .height = 76, .images = {130, 133, 132, 131}},
    // The header, over the artwork's band: the product's name (42 pixels at full scale, the
    // window's em being 32; two lines where a language needs them, the last just above the
    // subtitle) and what it is for (26 pixels), in the run's language.
    {.id = kIdTitle, .kind = kPanel, .x = 214, .y = 36, .width = 1214, .height = 108,
     .textKey = u"IDS_TITLE", .face = TextFace::kButton, .textScale = 1.3125f, .textColour = kWhite,
     .alignment = kNear, .lineAlignment = TextAlignment::kFar},
    {.id = kIdSubtitle, .kind = kPanel, .x = 216, .y = 148, .width = 1212, .height = 40,
     .textKey = u"IDS_SUBTITLE", .face = TextFace::kPanel, .textScale = 0.8125f, .textColour = kThreeQuartersWhite,
     .alignment = kNear, .lineAlignment = kNear},
    {.id = kIdPromptIcon, .kind = kPanel, .x = 60, .y = 300, .width = 30, .height = 30, .images = {134}},
    {.id = kIdIllustration, .kind = kPanel, .x = 56, .y = 498, .width = 1448, .height = 568, .images = {135}},
    {.id = kIdCautionIcon, .kind = kPanel, .x = 70, .y = 1120, .width = 48, .height = 43, .images = {136},
     .startsHidden = true},
    {.id = kIdUpdate, .kind = kButton, .x = 1136, .y = 1109, .width = 368, .height = 76, .images = {137, 140, 139, 138},
     .textKey = u"IDS_UPDATE", .face = TextFace::kButton, .textColour = kWhite,
     .alignment = kCenter, .lineAlignment = kCenter},
    {.id = kIdExit, .kind = kButton, .x = 1136, .y = 1109, .width = 368, .height = 76, .images = {137, 140, 139, 138},
     .textKey = u"IDS_EXIT", .face = TextFace::kButton, .textColour = kWhite,
     .alignment = kCenter, .lineAlignment = kCenter, .startsHidden = true},
    {.id = kIdMessage, .kind = kPanel, .x = 100, .y = 297, .width = 1400, .height = 180,
     .textKey = u"IDS_PROMPT", .face = TextFace::kPanel, .textColour = kNearBlack,
     .alignment = kNear, .lineAlignment = kNear},
    {.id = kIdCaution, .kind = kPanel, .x = 130, .y = 1124, .width = 1000, .height = 100,
     .textKey = u"IDS_CAUTION", .face = TextFace::kPanel, .textColour = kDarkRed,
     .alignment = kNear, .lineAlignment = kNear, .startsHidden = true},
    {.id = kIdSpinner, .kind = kPanel, .x = 712, .y = 658, .width = 132, .height = 132, .startsHidden = true},
    {.id = kIdShutdownNow, .kind = kButton, .x = 466, .y = 1109, .width = 508, .height = 76, .images = {150, 0, 152, 153},
     .textKey = u"IDS_SHUTDOWN", .face = TextFace::kButton, .textColour = kWhite,
     .alignment = kCenter, .lineAlignment = kCenter, .startsHidden = true},
    {.id = kIdShutdownLater, .kind = kButton, .x = 996, .y = 1109, .width = 508, .height = 76, .images = {151, 0, 152, 153},
     .textKey = u"IDS_SHUTDOWN_LATER", .face = TextFace::kButton, .textColour = kGrey, .hoverTextColour = kWhite,
     .pressedTextColour = kWhite, .alignment = kCenter, .lineAlignment = kCenter, .startsHidden = true},
};
// clang-format on

}  // namespace

const std::span<const ControlLayout> kWindowLayout{kRows};

std::vector<int> ButtonsInReadingOrder() {
  std::vector<const ControlLayout*> buttons;
  for (const ControlLayout& c : kWindowLayout) {
    if (c.kind == ControlKind::kButton) buttons.push_back(&c);
  }
  std::stable_sort(buttons.begin(), buttons.end(), [](const ControlLayout* a, const ControlLayout* b) {
    return a->y != b->y ? a->y < b->y : a->x < b->x;
  });
  std::vector<int> ids;
  for (const ControlLayout* c : buttons) ids.push_back(c->id);
  return ids;
}

LayoutMode ChooseLayoutMode(int desktopWidth, int desktopHeight) {
  if (desktopWidth > 1920 || desktopHeight > 1080) return {LayoutSize::kFull, 1.0};
  return {LayoutSize::kHalf, 0.5};
}

int MulDiv32(int a, int b, int c) {
  if (c == 0) return -1;
  const long long product = static_cast<long long>(a) * b;
  long long quotient = product / c;
  const long long remainder = product % c;
  // Round half away from zero.
  if (std::llabs(remainder) * 2 >= std::llabs(static_cast<long long>(c)))
    quotient += ((product < 0) != (c < 0)) ? -1 : 1;
  return static_cast<int>(quotient);
}

float FontEmSize(double scale, int dpi) {
  if (dpi <= 0) dpi = 96;  // a screen that reports nothing is taken as the usual one
  const float inverse = 96.0f / static_cast<float>(dpi);
  return static_cast<float>(MulDiv32(static_cast<int>(24 * scale), dpi, 72)) * inverse;
}

namespace {

// The scripts a face holds and a language's texts are written in. Kanji are kept apart
// from Chinese Han: a Japanese face lacks many Simplified characters, a Chinese face many
// Japanese forms.
enum Script : unsigned {
  kLatin = 1u << 0,  // every text names "Thunderbolt" and "ACPI"
  kCyrillic = 1u << 1,
  kHanzi = 1u << 2,
  kKanji = 1u << 3,
  kKana = 1u << 4,
  kHangul = 1u << 5,
  kArabic = 1u << 6,
  kHebrew = 1u << 7,
};

constexpr std::uint16_t kAnySubLanguage = 0;

struct FaceRow {
  std::uint16_t primary;  // the language id AND 0x3FF; 0 in the last row, which matches all
  std::uint16_t exact;    // the whole id, or any sub-language
  FontFaces faces;
  unsigned holds;  // the scripts of every face in the row
};

// First matching row wins.
constexpr FaceRow kFaceRows[] = {
    {0x04, kAnySubLanguage, {u"微軟正黑體", 1, u"微軟正黑體", 0}, kLatin | kHanzi},
    {0x11, 0x0411, {u"MS P Gothic", 1, u"MS P Gothic", 0}, kLatin | kCyrillic | kKanji | kKana},
    {0x12, kAnySubLanguage, {u"Malgun Gothic", 1, u"Malgun Gothic", 0}, kLatin | kHangul},
    {0x01, kAnySubLanguage, {u"Segoe UI", 1, u"Segoe UI", 0}, kLatin | kCyrillic | kArabic | kHebrew},
    {0x0D, kAnySubLanguage, {u"Segoe UI", 1, u"Segoe UI", 0}, kLatin | kCyrillic | kArabic | kHebrew},
    {0, kAnySubLanguage, {u"Segoe WP N Semibold", 0, u"Segoe WP", 0}, kLatin | kCyrillic},
};

// The scripts of each shipped language's texts; every other language is shown in English.
struct TextScripts {
  std::uint16_t primary;
  unsigned needs;
};

constexpr TextScripts kTextScripts[] = {
    {0x04, kLatin | kHanzi},    {0x11, kLatin | kKanji | kKana}, {0x12, kLatin | kHangul},
    {0x19, kLatin | kCyrillic}, {0x01, kLatin | kArabic},        {0x0D, kLatin | kHebrew},
};

constexpr std::uint16_t Primary(std::uint16_t language) { return language & 0x3FF; }

const FaceRow& FaceRowFor(std::uint16_t language) {
  for (const FaceRow& row : kFaceRows) {
    if (row.primary == 0) return row;
    if (Primary(language) == row.primary && (row.exact == kAnySubLanguage || row.exact == language)) return row;
  }
  return kFaceRows[std::size(kFaceRows) - 1];
}

unsigned ScriptsOf(std::uint16_t textLanguage) {
  for (const TextScripts& t : kTextScripts) {
    if (Primary(textLanguage) == t.primary) return t.needs;
  }
  return kLatin;
}

}  // namespace

FontFaces ChooseFontFaces(std::uint16_t uiLanguage) { return FaceRowFor(uiLanguage).faces; }

FontFaces ChooseTextFaces(std::uint16_t uiLanguage, std::uint16_t textLanguage) {
  const FaceRow& system = FaceRowFor(uiLanguage);
  const unsigned needs = ScriptsOf(textLanguage);
  if ((system.holds & needs) == needs) return system.faces;
  // The text language's own row, found by its primary language: a neutral id (0x11)
  // needs the same faces as its country's (0x411).
  return FaceRowFor(static_cast<std::uint16_t>(0x0400 | Primary(textLanguage))).faces;
}

bool ReadsRightToLeft(std::uint16_t textLanguage) {
  return Primary(textLanguage) == 0x01 || Primary(textLanguage) == 0x0D;
}
