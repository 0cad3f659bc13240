#include "app/win32/dialog_update_view_win32.h"

#include "app/win32/update_dialog_win32.h"
#include "app/window_layout.h"
#include "platform/win32/wide.h"
#include "skin/win32/skin_accessible_win32.h"

void DialogUpdateView::Show(int id) {
  SkinTextControl* control = dialog_.ControlById(id);
  if (control == nullptr) return;
  const bool appears = !control->visible();
  control->ShowWindow(SW_SHOWNORMAL);
  if (announce_ && appears && id == kIdCaution) AnnounceLiveRegion(control->hwnd());
}

void DialogUpdateView::Hide(int id) {
  if (SkinTextControl* control = dialog_.ControlById(id)) control->ShowWindow(SW_HIDE);
}

void DialogUpdateView::SetMessage(const char16_t* text) {
  SkinTextControl* message = dialog_.ControlById(kIdMessage);
  if (message == nullptr) return;
  ::SetWindowTextW(message->hwnd(), AsWide(text));
  if (announce_) AnnounceLiveRegion(message->hwnd());
}

void DialogUpdateView::Focus(int id) {
  SkinTextControl* control = dialog_.ControlById(id);
  if (control != nullptr && UpdateDialog::Usable(control->hwnd())) dialog_.FocusControl(control->hwnd());
}

void DialogUpdateView::SetSpinnerImage(std::uint32_t frame, double scale) { dialog_.ShowSpinnerFrame(frame, scale); }

void DialogUpdateView::Compose() { dialog_.Compose(); }

void DialogUpdateView::Able(int id, BOOL enabled) {
  if (SkinTextControl* control = dialog_.ControlById(id)) ::EnableWindow(control->hwnd(), enabled);
}
