#include "app/window_layout.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kNearBlack = 0xFF020202;
constexpr std::uint32_t kDarkRed = 0xFFA40000;
constexpr std::uint32_t kGrey = 0xFF464646;
constexpr int kNear = 0, kCenter = 1, kNotSet = -1;

}  // namespace

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

FontFaces ChooseFontFaces(std::uint16_t uiLanguage) {
  if ((uiLanguage & 0x3FF) == 0x04) return {u"微軟正黑體", 1, u"微軟正黑體", 0};
  if (uiLanguage == 0x0411) return {u"MS P Gothic", 1, u"MS P Gothic", 0};
  return {u"Segoe WP N Semibold", 0, u"Segoe WP", 0};
}
