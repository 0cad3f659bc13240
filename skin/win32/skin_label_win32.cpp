#include "skin/win32/skin_label_win32.h"

#include <utility>

SkinLabel::SkinLabel() = default;
SkinLabel::~SkinLabel() = default;

void SkinLabel::SetImage(UINT id, const wchar_t* type, HMODULE module, double scale) {
  image_.reset();
  sharedImage_.reset();
  image_ = LoadSkinImage(id, type, module, scale);
  MarkChanged();
}

void SkinLabel::SetSharedImage(std::shared_ptr<const SkinImage> image) {
  image_.reset();
  sharedImage_ = std::move(image);
  MarkChanged();
}

void SkinLabel::ReleaseResources() {
  text_.ReleaseFont();
  image_.reset();
  sharedImage_.reset();
}

void SkinLabel::Draw(Gdiplus::Graphics& graphics) {
  const Gdiplus::RectF bounds = Bounds();
  if (const SkinImage* image = sharedImage_ ? sharedImage_.get() : image_.get()) image->Draw(graphics, bounds);
  text_.DrawWindowText(graphics, hwnd(), textBrush_, bounds);
}
