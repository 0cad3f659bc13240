#include "app/remembered_view.h"

void ControlMemory::Replay(UpdateView& view) const {
  for (const auto& [id, look] : controls_) {
    if (look.visible) *look.visible ? view.Show(id) : view.Hide(id);
    if (look.enabled) *look.enabled ? view.Enable(id) : view.Disable(id);
  }
  if (message_) view.SetMessage(message_->c_str());
  if (focus_) view.Focus(*focus_);
}

void RememberingView::Show(int id) {
  memory_.controls_[id].visible = true;
  target_.Show(id);
}

void RememberingView::Hide(int id) {
  memory_.controls_[id].visible = false;
  target_.Hide(id);
}

void RememberingView::Enable(int id) {
  memory_.controls_[id].enabled = true;
  target_.Enable(id);
}

void RememberingView::Disable(int id) {
  memory_.controls_[id].enabled = false;
  target_.Disable(id);
}

void RememberingView::SetMessage(const char16_t* text) {
  memory_.message_ = text;
  target_.SetMessage(text);
}

void RememberingView::Focus(int id) {
  memory_.focus_ = id;
  target_.Focus(id);
}
