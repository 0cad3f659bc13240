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
constexpr int kNear = 0, kCenter = 1, kNotSet = -1;

}  // namespace

// clang-format off
const std::array<ControlLayout, 11> kWindowLayout = {{
    {kIdClose, ControlKind::kButton, 1448, 38, 76, 76, {130, 133, 132, 131}, nullptr, TextFace::kNone, 0, 0, 0, kNotSet, kNotSet, false},
    {kIdPromptIcon, ControlKind::kPanel, 60, 300, 30, 30, {134}, nullptr, TextFace::kNone, 0, 0, 0, kNotSet, kNotSet, false},
    {kIdIllustration, ControlKind::kPanel, 56, 498, 1448, 568, {135}, nullptr, TextFace::kNone, 0, 0, 0, kNotSet, kNotSet, false},
    {kIdCautionIcon, ControlKind::kPanel, 70, 1120, 48, 43, {136}, nullptr, TextFace::kNone, 0, 0, 0, kNotSet, kNotSet, true},
    {kIdUpdate, ControlKind::kButton, 1136, 1109, 368, 76, {137, 140, 139, 138}, u"IDS_UPDATE", TextFace::kButton, kWhite, 0, 0, kCenter, kCenter, false},
    {kIdExit, ControlKind::kButton, 1136, 1109, 368, 76, {137, 140, 139, 138}, u"IDS_EXIT", TextFace::kButton, kWhite, 0, 0, kCenter, kCenter, true},
    {kIdMessage, ControlKind::kPanel, 100, 297, 1400, 180, {0}, u"IDS_PROMPT", TextFace::kPanel, kNearBlack, 0, 0, kNear, kNear, false},
    {kIdCaution, ControlKind::kPanel, 130, 1124, 1000, 100, {0}, u"IDS_CAUTION", TextFace::kPanel, kDarkRed, 0, 0, kNear, kNear, true},
    {kIdSpinner, ControlKind::kPanel, 712, 658, 132, 132, {0}, nullptr, TextFace::kNone, 0, 0, 0, kNotSet, kNotSet, true},
    {kIdShutdownNow, ControlKind::kButton, 466, 1109, 508, 76, {150, 0, 152, 153}, u"IDS_SHUTDOWN", TextFace::kButton, kWhite, 0, 0, kCenter, kCenter, true},
    {kIdShutdownLater, ControlKind::kButton, 996, 1109, 508, 76, {151, 0, 152, 153}, u"IDS_SHUTDOWN_LATER", TextFace::kButton, kGrey, kWhite, kWhite, kCenter, kCenter, true},
}};

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
  if (desktopWidth > 1920 || desktopHeight > 1080) return {1, 1.0};
  return {0, 0.5};
}

int MulDiv32(int a, int b, int c) {
  if (c == 0) return -1;
  const long long product = static_cast<long long>(a) * b;
  long long quotient = product / c;
  const long long remainder = product % c;
  // Round half away from zero.
  if (std::llabs(remainder) * 2 >= std::llabs(static_cast<long long>(c))) quotient += ((product < 0) != (c < 0)) ? -1 : 1;
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
// clang-format on

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
