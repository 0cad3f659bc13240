#include "skin/win32/high_contrast_win32.h"

namespace {

Gdiplus::ARGB SystemColour(int index) {
  const COLORREF c = ::GetSysColor(index);
  return Gdiplus::Color::MakeARGB(255, GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace

SystemScheme ReadSystemScheme() {
  SystemScheme scheme;
  HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
  scheme.on = ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) != FALSE &&
              (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
  if (!scheme.on) return scheme;
  scheme.window = SystemColour(COLOR_WINDOW);
  scheme.windowText = SystemColour(COLOR_WINDOWTEXT);
  scheme.buttonFace = SystemColour(COLOR_BTNFACE);
  scheme.buttonText = SystemColour(COLOR_BTNTEXT);
  scheme.highlight = SystemColour(COLOR_HIGHLIGHT);
  scheme.grayText = SystemColour(COLOR_GRAYTEXT);
  return scheme;
}

void DrawSilhouette(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& to,
                    Gdiplus::ARGB colour) {
  if (image == nullptr) return;
  const Gdiplus::Color c(colour);
  // Every colour channel from the constant row alone; alpha as it was.
  Gdiplus::ColorMatrix matrix{};
  matrix.m[3][3] = 1.0f;
  matrix.m[4][0] = static_cast<float>(c.GetR()) / 255.0f;
  matrix.m[4][1] = static_cast<float>(c.GetG()) / 255.0f;
  matrix.m[4][2] = static_cast<float>(c.GetB()) / 255.0f;
  matrix.m[4][4] = 1.0f;
  Gdiplus::ImageAttributes attributes;
  attributes.SetColorMatrix(&matrix, Gdiplus::ColorMatrixFlagsDefault, Gdiplus::ColorAdjustTypeDefault);
  graphics.DrawImage(image, to, 0.0f, 0.0f, static_cast<float>(image->GetWidth()),
                     static_cast<float>(image->GetHeight()), Gdiplus::UnitPixel, &attributes);
}
