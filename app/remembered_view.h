// The window's state as the update run left it. A new layout (after a display change
// crosses the scale threshold) starts again from the template's ready state; replaying what
// the run changed shows its state again: the outcome's message and buttons, not the prompt.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "app/update_run.h"

class ControlMemory {
 public:
  // Applies every remembered change to `view`: each touched control's last visibility and
  // enabled state, the last message, then the last focus.
  void Replay(UpdateView& view) const;

 private:
  friend class RememberingView;
  struct Look {
    std::optional<bool> visible, enabled;
  };
  std::map<int, Look> controls_;
  std::optional<std::u16string> message_;
  std::optional<int> focus_;
};

// An UpdateView that passes every change on to `target` and remembers it in `memory`.
class RememberingView final : public UpdateView {
 public:
  RememberingView(UpdateView& target, ControlMemory& memory) : target_(target), memory_(memory) {}
  void Show(int id) override;
  void Hide(int id) override;
  void Enable(int id) override;
  void Disable(int id) override;
  void SetMessage(const char16_t* text) override;
  void Focus(int id) override;
  void SetSpinnerImage(std::uint32_t frame, double scale) override { target_.SetSpinnerImage(frame, scale); }
  void Compose() override { target_.Compose(); }

 private:
  UpdateView& target_;
  ControlMemory& memory_;
};
