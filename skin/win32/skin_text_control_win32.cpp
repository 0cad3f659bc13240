#include "skin/win32/skin_text_control_win32.h"

SkinTextControl::SkinTextControl() = default;
SkinTextControl::~SkinTextControl() = default;

void SkinTextControl::SetTextColor(Gdiplus::ARGB colour) {
  textBrush_.SetColor(Gdiplus::Color(colour));
  MarkChanged();
}

void SkinTextControl::SetStateTextColors(Gdiplus::ARGB, Gdiplus::ARGB) {}

void SkinTextControl::SetAlignment(Gdiplus::StringAlignment alignment, Gdiplus::StringAlignment lineAlignment) {
  text_.SetAlignment(alignment, lineAlignment);
  MarkChanged();
}

void SkinTextControl::SetRightToLeft(bool rightToLeft) {
  text_.SetRightToLeft(rightToLeft);
  MarkChanged();
}

void SkinTextControl::SetFont(const wchar_t* family, float emSize, int style, int unit) {
  text_.SetFont(family, emSize, style, unit);
  MarkChanged();
}

void SkinTextControl::ReleaseResources() { text_.ReleaseFont(); }
