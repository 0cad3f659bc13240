// The window's controls as the update run sees them. A new message, and the caution as it
// appears, are announced to screen readers, except when only shown again after a relayout.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/update_run.h"

class UpdateDialog;

class DialogUpdateView final : public UpdateView {
 public:
  enum class Announce { kChanges, kNothing };
  explicit DialogUpdateView(UpdateDialog& dialog, Announce announce = Announce::kChanges)
      : dialog_(dialog), announce_(announce == Announce::kChanges) {}

  void Show(int id) override;
  void Hide(int id) override;
  void Enable(int id) override { Able(id, TRUE); }
  void Disable(int id) override { Able(id, FALSE); }
  void SetMessage(const char16_t* text) override;
  // Only a control that can take it: a hidden or greyed one is passed over.
  void Focus(int id) override;
  void SetSpinnerImage(std::uint32_t frame, double scale) override;
  void Compose() override;

 private:
  void Able(int id, BOOL enabled);

  UpdateDialog& dialog_;
  bool announce_;
};
