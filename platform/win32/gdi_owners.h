// Owners of what drawing uses: memory device contexts, GDI objects, a window's device
// context and an object selected into a device context.
#pragma once

#include <windows.h>

#include "platform/win32/unique.h"

using UniqueMemoryDc = Unique<HandleTraits<HDC, ::DeleteDC>>;
using UniqueGdiObject = Unique<HandleTraits<HGDIOBJ, ::DeleteObject>>;

// A window's device context, given back to that window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context; the previous one goes back on destruction.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() {
    if (previous_) ::SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
