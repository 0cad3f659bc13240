#include "skin/win32/dib_surface_win32.h"

bool DibSurface::Create(int width, int height, bool bottomUp) {
  Reset();
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!dc) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = bottomUp ? height : -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = 4 * static_cast<DWORD>(width) * static_cast<DWORD>(height);
  void* bits = nullptr;
  UniqueGdiObject bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return false;
  dc_ = std::move(dc);
  bitmap_ = std::move(bitmap);
  selected_.emplace(dc_.get(), bitmap_.get());
  pixels_ = static_cast<std::uint32_t*>(bits);
  width_ = width;
  height_ = height;
  return true;
}

DibSurface::~DibSurface() { Reset(); }

void DibSurface::Reset() {
  selected_.reset();  // the DIB leaves the DC before either goes
  bitmap_.reset();
  dc_.reset();
  pixels_ = nullptr;
  width_ = height_ = 0;
}
