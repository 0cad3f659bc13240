#include "skin/win32/skin_image_win32.h"

#include <algorithm>
#include <cstring>

#include "framework/win32/dialog.h"
#include "platform/win32/com_owners.h"
#include "platform/win32/unique_handle.h"
#include "skin/skin_geometry.h"

int SkinImage::Width() const { return image_ ? static_cast<int>(image_->GetWidth()) : 0; }
int SkinImage::Height() const { return image_ ? static_cast<int>(image_->GetHeight()) : 0; }

void SkinImage::Draw(Gdiplus::Graphics& graphics, const Gdiplus::RectF& to) const {
  if (image_) graphics.DrawImage(image_.get(), to);
}

namespace {

// A straight-alpha BGRA pixel premultiplied, each colour rounded as GDI+ rounds it. The
// skin's pictures are opaque or transparent almost everywhere, and those take no sums.
std::uint32_t Premultiplied(std::uint32_t pixel) {
  const std::uint32_t alpha = pixel >> 24;
  if (alpha == 0xFF) return pixel;
  if (alpha == 0) return 0;
  std::uint32_t out = alpha << 24;
  for (int shift = 0; shift < 24; shift += 8) out |= (((pixel >> shift) & 0xFF) * alpha + 127) / 255 << shift;
  return out;
}

}  // namespace

bool SkinImage::CopyPremultiplied(std::uint32_t* pixels) const {
  if (!image_) return false;
  const int width = Width(), height = Height();
  Gdiplus::Rect all(0, 0, width, height);
  Gdiplus::BitmapData data{};
  // Read as decoded (straight alpha): no conversion by GDI+, which is slow at this.
  if (image_->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok) return false;
  const auto* rows = static_cast<const std::uint8_t*>(data.Scan0);
  for (int y = 0; y < height; ++y) {
    const auto* from = reinterpret_cast<const std::uint32_t*>(rows + static_cast<std::ptrdiff_t>(y) * data.Stride);
    std::transform(from, from + width, pixels + static_cast<std::size_t>(height - 1 - y) * width, Premultiplied);
  }
  image_->UnlockBits(&data);
  return true;
}

namespace {

// A memory stream over a copy of the resource's bytes. The stream owns the copy and frees
// it with its last reference, which the decoded image holds for as long as it may read.
ComPtr<IStream> StreamOverResource(UINT resourceId, const wchar_t* resourceType, HMODULE module) {
  HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId & 0xFFFF), resourceType);
  if (!found) return {};
  DWORD size = ::SizeofResource(module, found);
  HGLOBAL loaded = ::LoadResource(module, found);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes || size == 0) return {};
  UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, size));
  if (!block) return {};
  void* copy = ::GlobalLock(block.get());
  if (!copy) return {};
  std::memcpy(copy, bytes, size);
  ::GlobalUnlock(block.get());
  ComPtr<IStream> stream;
  if (FAILED(::CreateStreamOnHGlobal(block.get(), TRUE, stream.put()))) return {};
  block.release();  // now the stream's
  return stream;
}

std::unique_ptr<Gdiplus::Bitmap> Decode(IStream* stream) {
  auto image = std::make_unique<Gdiplus::Bitmap>(stream);
  if (image->GetLastStatus() != Gdiplus::Ok) return nullptr;
  return image;
}

// One pixel of the half-size copy: the 2 × 2 pixels it covers averaged by their coverage,
// so that transparent neighbours lend an edge no colour.
std::uint32_t AverageOfFour(const std::uint32_t (&p)[4]) {
  std::uint32_t alpha = 0;
  for (std::uint32_t v : p) alpha += v >> 24;
  if (alpha == 0) return 0;
  std::uint32_t out = ((alpha + 2) / 4) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    std::uint32_t sum = 0;
    for (std::uint32_t v : p) sum += ((v >> shift) & 0xFF) * (v >> 24);
    out |= (sum + alpha / 2) / alpha << shift;
  }
  return out;
}

// The half-size copy of a straight-alpha 32-bit bitmap, each pixel the average of the 2 × 2
// it covers (an odd last row or column is left out, as the size is truncated). The
// general resampling costs far more and gives no better picture at exactly half size.
std::unique_ptr<Gdiplus::Bitmap> HalfSizeCopy(Gdiplus::Bitmap& source, int width, int height) {
  Gdiplus::Rect from(0, 0, 2 * width, 2 * height), to(0, 0, width, height);
  Gdiplus::BitmapData in{}, out{};
  auto copy = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
  if (copy->GetLastStatus() != Gdiplus::Ok) return nullptr;
  if (source.LockBits(&from, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &in) != Gdiplus::Ok) return nullptr;
  if (copy->LockBits(&to, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &out) != Gdiplus::Ok) {
    source.UnlockBits(&in);
    return nullptr;
  }
  auto row = [](const Gdiplus::BitmapData& d, int y) {
    return reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(d.Scan0) +
                                            static_cast<std::ptrdiff_t>(y) * d.Stride);
  };
  for (int y = 0; y < height; ++y) {
    const std::uint32_t *upper = row(in, 2 * y), *lower = row(in, 2 * y + 1);
    std::uint32_t* target = row(out, y);
    for (int x = 0; x < width; ++x)
      target[x] = AverageOfFour({upper[2 * x], upper[2 * x + 1], lower[2 * x], lower[2 * x + 1]});
  }
  copy->UnlockBits(&out);
  source.UnlockBits(&in);
  return copy;
}

std::unique_ptr<Gdiplus::Bitmap> ScaledCopy(Gdiplus::Bitmap& source, double scale) {
  int width = ScaleLength(static_cast<int>(source.GetWidth()), scale);
  int height = ScaleLength(static_cast<int>(source.GetHeight()), scale);
  if (width <= 0 || height <= 0) return nullptr;
  if (scale == 0.5 && source.GetPixelFormat() == PixelFormat32bppARGB) return HalfSizeCopy(source, width, height);
  auto copy = std::make_unique<Gdiplus::Bitmap>(width, height, source.GetPixelFormat());
  if (copy->GetLastStatus() != Gdiplus::Ok) return nullptr;
  Gdiplus::Graphics graphics(copy.get());
  if (graphics.GetLastStatus() != Gdiplus::Ok) return nullptr;
  if (graphics.DrawImage(&source, 0, 0, width, height) != Gdiplus::Ok) return nullptr;
  return copy;
}

}  // namespace

std::unique_ptr<SkinImage> LoadSkinImage(UINT resourceId, const wchar_t* resourceType, HMODULE module, double scale) {
  if (!module) module = ResourceModule();
  ComPtr<IStream> stream = StreamOverResource(resourceId, resourceType, module);
  std::unique_ptr<Gdiplus::Bitmap> image = stream ? Decode(stream.get()) : nullptr;
  if (image && scale != 1.0) image = ScaledCopy(*image, scale);
  return std::make_unique<SkinImage>(std::move(image));
}
