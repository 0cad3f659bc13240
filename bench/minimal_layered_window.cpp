// The baselines for the tool's window: the least a program must do to put a per-pixel-
// alpha window of the tool's size on screen (one GDI+-free premultiplied bitmap handed to
// UpdateLayeredWindow), and, given SIDE, then to change a SIDE × SIDE square in its middle
// every 100 ms and hand over only that square (UpdateLayeredWindowIndirect with a dirty
// rectangle), as the busy indicator does.
// Usage: minimal_layered_window WIDTH HEIGHT [SIDE]; runs until it is ended.
#include <windows.h>

#include <cstdlib>
#include <cwchar>

#include "platform/win32/gdi_owners.h"

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const int width = __argc > 2 ? static_cast<int>(std::wcstol(__wargv[1], nullptr, 10)) : 780;
  const int height = __argc > 2 ? static_cast<int>(std::wcstol(__wargv[2], nullptr, 10)) : 620;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"MinimalLayeredWindow";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(WS_EX_LAYERED, windowClass.lpszClassName, L"Minimal Layered Window", WS_POPUP, 0, 0,
                                width, height, nullptr, nullptr, instance, nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  WindowDc screen(nullptr);
  UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  UniqueGdiObject bitmap(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !bitmap || bits == nullptr) return 1;
  Selection selected(memory.get(), bitmap.get());
  auto* pixels = static_cast<unsigned*>(bits);
  for (int i = 0; i < width * height; ++i) pixels[i] = 0xFF1B8A8A;  // opaque teal
  POINT origin{(GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2};
  SIZE size{width, height};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(window, screen.get(), &origin, &size, memory.get(), &source, 0, &blend, ULW_ALPHA);
  ShowWindow(window, SW_SHOW);
  MSG message;
  const int side = __argc > 3 ? static_cast<int>(std::wcstol(__wargv[3], nullptr, 10)) : 0;
  if (side <= 0) {
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
  }
  // The busy indicator's loop: a wait of 100 ms, a new frame, one pending message.
  const RECT dirty{(width - side) / 2, (height - side) / 2, (width + side) / 2, (height + side) / 2};
  for (unsigned frame = 0;; ++frame) {
    Sleep(100);
    for (LONG y = dirty.top; y < dirty.bottom; ++y)
      for (LONG x = dirty.left; x < dirty.right; ++x)
        pixels[static_cast<size_t>(height - 1 - y) * width + x] = frame % 2 ? 0xFF1B8A8A : 0xFFE0F0F0;
    UPDATELAYEREDWINDOWINFO update{sizeof update, screen.get(), &origin, &size, memory.get(), &source, 0,
                                   &blend,        ULW_ALPHA,    &dirty};
    UpdateLayeredWindowIndirect(window, &update);
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return 0;
      DispatchMessageW(&message);
    }
  }
}
