// An image of the window's skin, decoded from one PNG of the executable's resources.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "skin/win32/gdiplus_win32.h"

class SkinImage {
 public:
  SkinImage() = default;  // empty: 0 × 0, draws nothing
  explicit SkinImage(std::unique_ptr<Gdiplus::Bitmap> image) : image_(std::move(image)) {}
  SkinImage(const SkinImage&) = delete;
  SkinImage& operator=(const SkinImage&) = delete;
  virtual ~SkinImage() = default;

  int Width() const;
  int Height() const;
  // The decoded image, or null when empty.
  Gdiplus::Image* Get() const { return image_.get(); }
  // Draws the whole image stretched to the rectangle.
  void Draw(Gdiplus::Graphics& graphics, const Gdiplus::RectF& to) const;
  // Copies the pixels, premultiplied BGRA, into `pixels`, laid out as a bottom-up 32-bit
  // DIB of the image's own size: what drawing the image onto a transparent DIB gives,
  // without a pass through the drawing code. False, copying nothing, when it cannot.
  bool CopyPremultiplied(std::uint32_t* pixels) const;

 private:
  std::unique_ptr<Gdiplus::Bitmap> image_;
};

// Loads resource `resourceId` (its low 16 bits) of `resourceType` from `module` (null: the
// executable) and decodes it. A scale of exactly 1.0 gives the decoded image; any other
// scale a copy of the size multiplied and truncated, in the same pixel format. A missing
// or undecodable resource gives an empty image. Never null.
std::unique_ptr<SkinImage> LoadSkinImage(UINT resourceId, const wchar_t* resourceType, HMODULE module, double scale);
