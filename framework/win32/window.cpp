#include "framework/win32/window.h"

#include <utility>

namespace {
constexpr wchar_t kObjectProperty[] = L"TbtFw.WindowObject";
}

Window* WindowFromHandle(HWND window) { return static_cast<Window*>(::GetPropW(window, kObjectProperty)); }

Window::~Window() { UnsubclassWindow(); }

bool Window::SubclassWindow(HWND window) {
  if (!window || hwnd_ || WindowFromHandle(window)) return false;
  hwnd_ = window;
  PreSubclassWindow();
  if (!::SetPropW(window, kObjectProperty, this)) {
    hwnd_ = nullptr;
    return false;
  }
  // The old procedure is never null, so 0 with an error means the window kept its own:
  // this object would then never see a message and must not claim the window.
  ::SetLastError(ERROR_SUCCESS);
  const LONG_PTR previous = ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::Procedure));
  if (previous == 0 && ::GetLastError() != ERROR_SUCCESS) {
    ::RemovePropW(window, kObjectProperty);
    hwnd_ = nullptr;
    return false;
  }
  original_ = reinterpret_cast<WNDPROC>(previous);
  return true;
}

void Window::UnsubclassWindow() {
  if (!hwnd_) return;
  ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
  ::RemovePropW(hwnd_, kObjectProperty);
  hwnd_ = nullptr;
  original_ = nullptr;
}

LRESULT Window::HandleMessage(UINT, WPARAM, LPARAM) { return Default(); }

LRESULT Window::Default() {
  return ::CallWindowProcW(original_, hwnd_, current_.message, current_.wParam, current_.lParam);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* self = WindowFromHandle(window);
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The window is going away: let its own procedure finish, then detach for good.
    WNDPROC original = self->original_;
    self->UnsubclassWindow();
    return ::CallWindowProcW(original, window, message, wParam, lParam);
  }
  // Handlers may send messages to their own window; each keeps its own current message.
  Message outer = std::exchange(self->current_, Message{message, wParam, lParam});
  LRESULT result = self->HandleMessage(message, wParam, lParam);
  self->current_ = outer;
  return result;
}
