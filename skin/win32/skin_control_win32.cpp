#include "skin/win32/skin_control_win32.h"

BOOL SkinControl::ShowWindow(int command) {
  BOOL result = ::ShowWindow(hwnd(), command);
  bool nowVisible = (::GetWindowLongW(hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
  if (nowVisible != visible_) {
    visible_ = nowVisible;
    NotifyHost();
  }
  return result;
}

void SkinControl::NotifyHost() {
  if (host_) host_->ControlChanged(this);
}

void SkinControl::MarkChanged() {
  if (host_) host_->MarkChanged(this);
}

void SkinControl::SyncStyleFlags() {
  LONG style = ::GetWindowLongW(hwnd(), GWL_STYLE);
  visible_ = (style & WS_VISIBLE) != 0;
  disabled_ = (style & WS_DISABLED) != 0;
}

LRESULT SkinControl::HandleMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_ENABLE: return OnEnable(static_cast<BOOL>(wParam));
    case WM_MOVE:
    case WM_SIZE: return OnMoveOrSize();
    case WM_SETTEXT: return OnSetText();
    default: return Default();
  }
}

LRESULT SkinControl::OnEnable(BOOL enabled) {
  LRESULT result = Default();
  bool nowDisabled = enabled != TRUE;
  if (nowDisabled != disabled_) {
    disabled_ = nowDisabled;
    Refresh();
  }
  return result;
}

LRESULT SkinControl::OnMoveOrSize() {
  LRESULT result = Default();
  Refresh();
  return result;
}

LRESULT SkinControl::OnSetText() {
  LRESULT result = Default();  // the text is in the window before the frame reads it
  Refresh();
  return result;
}

Gdiplus::RectF SkinControl::Bounds() const {
  RECT r{};
  ::GetWindowRect(hwnd(), &r);
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd()), reinterpret_cast<POINT*>(&r), 2);
  return Gdiplus::RectF(static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right - r.left),
                        static_cast<float>(r.bottom - r.top));
}
