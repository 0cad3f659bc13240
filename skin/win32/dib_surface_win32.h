// A 32-bit DIB section selected into a memory device context, kept between uses: the
// window's frame, and the rendered text of a control.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "platform/win32/gdi_owners.h"

class DibSurface {
 public:
  DibSurface() = default;
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;
  ~DibSurface();

  // Makes a surface of `width` × `height`, all zeros (fully transparent), its rows from the
  // bottom up as the frame holds them, or from the top down. False, leaving the surface
  // empty, when the system cannot make it.
  bool Create(int width, int height, bool bottomUp);
  void Reset();

  explicit operator bool() const { return pixels_ != nullptr; }
  HDC dc() const { return dc_.get(); }
  std::uint32_t* pixels() const { return pixels_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  UniqueMemoryDc dc_;
  UniqueGdiObject bitmap_;
  std::optional<Selection> selected_;
  std::uint32_t* pixels_ = nullptr;
  int width_ = 0, height_ = 0;
};
