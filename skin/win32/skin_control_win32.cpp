#include "skin/win32/skin_control_win32.h"

#include <oleacc.h>

#include <array>

SkinControl::SkinControl() : accessibleRole_(ROLE_SYSTEM_STATICTEXT) {}

void SkinControl::SetAccessible(long role, const wchar_t* name) {
  accessibleRole_ = role;
  nameFromText_ = name == nullptr;
  accessibleName_ = name != nullptr ? name : L"";
}

void SkinControl::DescribeForAccessibility(AccessibleFacts& facts) const {
  facts.role = accessibleRole_;
  if (nameFromText_) {
    std::array<wchar_t, 1024> text{};
    ::GetWindowTextW(hwnd(), text.data(), static_cast<int>(text.size()));
    facts.name = text.data();
  } else {
    facts.name = accessibleName_;
  }
  facts.extraState = 0;
  facts.focusable = false;
  facts.pressable = false;
}

bool SkinControl::FactsOf(HWND window, AccessibleFacts& facts) {
  const auto* control = dynamic_cast<const SkinControl*>(WindowFromHandle(window));
  if (control == nullptr) return false;
  control->DescribeForAccessibility(facts);
  return true;
}

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

LRESULT SkinControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETOBJECT: return OnGetObject(wParam, lParam);
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
  // The system raises no name change for a control's new text by itself.
  if (nameFromText_) AnnounceNameChange(hwnd());
  return result;
}

LRESULT SkinControl::OnGetObject(WPARAM flags, LPARAM objectId) {
  if (static_cast<LONG>(objectId) != OBJID_CLIENT) return Default();
  const LRESULT answer = AnswerGetObject(hwnd(), flags, &SkinControl::FactsOf);
  return answer != 0 ? answer : Default();
}

Gdiplus::RectF SkinControl::Bounds() const {
  RECT r{};
  ::GetWindowRect(hwnd(), &r);
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd()), reinterpret_cast<POINT*>(&r), 2);
  return Gdiplus::RectF(static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right - r.left),
                        static_cast<float>(r.bottom - r.top));
}
