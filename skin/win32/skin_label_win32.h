// A passive panel: one image stretched over its rectangle, its text over that, or both.
#pragma once

#include <memory>

#include "skin/win32/skin_image_win32.h"
#include "skin/win32/skin_text_control_win32.h"

class SkinLabel : public SkinTextControl {
 public:
  SkinLabel();
  ~SkinLabel() override;
  // Replaces the picture; an id that fails to load leaves an empty one. Composes nothing.
  void SetImage(UINT id, const wchar_t* type, HMODULE module, double scale);
  // The first id only; a panel without a picture (0) loads none.
  void LoadImages(const ImageIds& ids, const wchar_t* type, HMODULE module, double scale) override {
    if (ids[0] != 0) SetImage(ids[0], type, module, scale);
  }
  // Replaces the picture with one decoded and kept elsewhere (the busy indicator's frames),
  // shared so that it lives while shown here; null shows none. Composes nothing either.
  void SetSharedImage(std::shared_ptr<const SkinImage> image);
  void ReleaseResources() override;

  void Draw(Gdiplus::Graphics& graphics) override;

 private:
  void DrawInScheme(Gdiplus::Graphics& graphics, const SystemScheme& scheme, const Gdiplus::RectF& bounds);
  // The picture shown: the shared one while set, otherwise the label's own; null for none.
  const SkinImage* Picture() const { return sharedImage_ ? sharedImage_.get() : image_.get(); }

  std::unique_ptr<SkinImage> image_;
  std::shared_ptr<const SkinImage> sharedImage_;  // drawn instead of image_ while set
};
