#include "skin/win32/skin_label_win32.h"

#include <oleacc.h>
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
  SkinTextControl::ReleaseResources();
  image_.reset();
  sharedImage_.reset();
}

void SkinLabel::Draw(Gdiplus::Graphics& graphics) {
  const Gdiplus::RectF bounds = Bounds();
  if (const SystemScheme* scheme = Scheme()) {
    DrawInScheme(graphics, *scheme, bounds);
    return;
  }
  if (const SkinImage* image = Picture()) image->Draw(graphics, bounds);
  text().DrawWindowText(graphics, hwnd(), textBrush(), bounds);
}

// The text in the window text colour; a picture only when it means something (the busy
// indicator), as its shape in that colour: the decorative ones are left out.
void SkinLabel::DrawInScheme(Gdiplus::Graphics& graphics, const SystemScheme& scheme, const Gdiplus::RectF& bounds) {
  const SkinImage* image = Picture();
  if (image != nullptr && accessibleRole() != ROLE_SYSTEM_GRAPHIC)
    DrawSilhouette(graphics, image->Get(), bounds, scheme.windowText);
  const Gdiplus::SolidBrush ink(Gdiplus::Color(scheme.windowText));
  text().DrawWindowText(graphics, hwnd(), ink, bounds);
}
