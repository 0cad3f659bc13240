// Owners of the Win32 handles and COM interfaces that the window toolkit uses.
#pragma once

#include <windows.h>
#include <objidl.h>

#include "platform/win32/unique.h"

template <typename H, auto FreeFunction>
struct HandleTraits {
  using Handle = H;
  static Handle Empty() { return nullptr; }
  static void Free(Handle h) { FreeFunction(h); }
};

using UniqueMemoryDc = Unique<HandleTraits<HDC, ::DeleteDC>>;
using UniqueGdiObject = Unique<HandleTraits<HGDIOBJ, ::DeleteObject>>;
using UniqueLibrary = Unique<HandleTraits<HMODULE, ::FreeLibrary>>;
using UniqueGlobal = Unique<HandleTraits<HGLOBAL, ::GlobalFree>>;
using UniqueHook = Unique<HandleTraits<HHOOK, ::UnhookWindowsHookEx>>;

inline void ReleaseInterface(IUnknown* p) { p->Release(); }
template <typename Interface>
using UniqueCom = Unique<HandleTraits<Interface*, ReleaseInterface>>;

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
