// The lid and the power and sleep buttons held off for the write: the power scheme's
// actions for them set to do nothing, and put back whatever ends the write. What to put
// back is marked first, so a start of the tool after a crash or a power loss restores it.
#pragma once

#include <cstdint>

#include "app/worker_events.h"
#include "platform/power_scheme.h"

enum class HoldState : std::uint8_t {
  kHeld,         // every action does nothing until the hold ends
  kUnchanged,    // the scheme is as it was and the write goes ahead unheld (told)
  kLeftChanged,  // a change could be neither completed nor undone: nothing may be written
};

class SleepHold {
 public:
  // Takes the hold on `scheme`, telling `events` what it did; with no scheme nothing is
  // held or told.
  SleepHold(PowerScheme* scheme, WorkerEvents& events) noexcept;
  SleepHold(const SleepHold&) = delete;
  SleepHold& operator=(const SleepHold&) = delete;
  // Puts the actions back and removes the marker; a restore that fails leaves the marker
  // for the next start.
  ~SleepHold();

  HoldState State() const { return state_; }

 private:
  PowerScheme* scheme_;
  WorkerEvents& events_;
  ButtonActions before_;
  HoldState state_ = HoldState::kUnchanged;
  bool changed_ = false;  // the scheme holds actions of ours and the marker is saved
};

// At the tool's start, before anything else may hold the scheme: puts back the actions an
// earlier run changed and did not restore, and removes its marker.
void RestoreLeftScheme(PowerScheme& scheme, WorkerEvents& events) noexcept;
