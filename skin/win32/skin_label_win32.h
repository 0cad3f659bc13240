// A passive panel: one image stretched over its rectangle, its text over that, or both.
#pragma once

#include <memory>

#include "skin/win32/skin_control_win32.h"
#include "skin/win32/skin_image_win32.h"
#include "skin/win32/skin_text_win32.h"

class SkinLabel : public SkinControl {
 public:
  SkinLabel();
  ~SkinLabel() override;
  // The setters compose nothing; each marks the panel for the next composition.
  void SetTextColor(Gdiplus::ARGB colour) {
    textBrush_.SetColor(Gdiplus::Color(colour));
    MarkChanged();
  }
  void SetAlignment(Gdiplus::StringAlignment alignment, Gdiplus::StringAlignment lineAlignment) {
    text_.SetAlignment(alignment, lineAlignment);
    MarkChanged();
  }
  void SetRightToLeft(bool rightToLeft) {
    text_.SetRightToLeft(rightToLeft);
    MarkChanged();
  }
  void SetFont(const wchar_t* family, float emSize, int style, int unit) {
    text_.SetFont(family, emSize, style, unit);
    MarkChanged();
  }
  // Replaces the picture; an id that fails to load leaves an empty one.
  void SetImage(UINT id, const wchar_t* type, HMODULE module, double scale);
  // Replaces the picture with one decoded and kept elsewhere (the busy indicator's frames),
  // shared so that it lives while shown here; null shows none. Composes nothing either.
  void SetSharedImage(std::shared_ptr<const SkinImage> image);
  // Frees the font and the image.
  void ReleaseResources();

  void Draw(Gdiplus::Graphics& graphics) override;

 private:
  void DrawInScheme(Gdiplus::Graphics& graphics, const SystemScheme& scheme, const Gdiplus::RectF& bounds);
  // The picture shown: the shared one while set, otherwise the label's own; null for none.
  const SkinImage* Picture() const { return sharedImage_ ? sharedImage_.get() : image_.get(); }

  std::unique_ptr<SkinImage> image_;
  std::shared_ptr<const SkinImage> sharedImage_;  // drawn instead of image_ while set
  SkinText text_;
  Gdiplus::SolidBrush textBrush_{Gdiplus::Color(0xFF000000)};
};
