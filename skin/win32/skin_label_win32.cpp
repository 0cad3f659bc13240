#include "skin/win32/skin_label_win32.h"

SkinLabel::SkinLabel() = default;
SkinLabel::~SkinLabel() = default;

void SkinLabel::SetImage(UINT id, const wchar_t* type, HMODULE module, double scale) {
  image_.reset();
  image_ = LoadSkinImage(id, type, module, scale);
  MarkChanged();
}

void SkinLabel::ReleaseResources() {
  text_.ReleaseFont();
  image_.reset();
}

void SkinLabel::Draw(Gdiplus::Graphics& graphics) {
  const Gdiplus::RectF bounds = Bounds();
  if (image_) image_->Draw(graphics, bounds);
  text_.DrawWindowText(graphics, hwnd(), textBrush_, bounds);
}
