#include "app/sleep_hold.h"

#include <string>

#include "app/run_log.h"

namespace {

void Tell(WorkerEvents& events, const std::string& text) noexcept {
  try {
    events.OnNote(text);
  } catch (...) {
  }
}

// "CALL 0x0000000D", the system's reason of the last failed call; "no reason given" else.
std::string Reason(const PowerScheme& scheme) {
  const SystemError error = scheme.LastFailure();
  if (!error) return "no reason given";
  return std::string(error.call) + " " + Hex32(error.code);
}

// "lid 1/1, power button 3/2, sleep button 1/2" (mains/battery).
std::string Described(const ButtonActions& a) {
  const auto pair = [&](std::size_t i) {
    return std::to_string(a.actions[i]) + "/" + std::to_string(a.actions[i + 1]);
  };
  return "lid " + pair(0) + ", power button " + pair(2) + ", sleep button " + pair(4);
}

bool AllDoNothing(const ButtonActions& a) {
  for (const std::uint32_t action : a.actions) {
    if (action != kActionDoNothing) return false;
  }
  return true;
}

}  // namespace

SleepHold::SleepHold(PowerScheme* scheme, WorkerEvents& events) noexcept : scheme_(scheme), events_(events) {
  if (scheme_ == nullptr) return;
  bool tried = false;  // a write of the held actions was made
  try {
    if (!scheme_->Read(before_)) {
      Tell(events_, "power scheme cannot be read (" + Reason(*scheme_) +
                        "): the lid and the power and sleep buttons may still sleep the computer during the write");
      return;
    }
    if (AllDoNothing(before_)) {
      state_ = HoldState::kHeld;
      Tell(events_, "power scheme: the lid and the power and sleep buttons already do nothing");
      return;
    }
    // The marker first: once a single action is changed, a crash must find what to restore.
    if (!scheme_->SaveMarker(before_)) {
      Tell(events_, "power scheme left as it was: what to restore could not be marked (" + Reason(*scheme_) + ")");
      return;
    }
    ButtonActions held = before_;
    held.actions.fill(kActionDoNothing);
    tried = true;
    if (scheme_->Write(held)) {
      changed_ = true;
      state_ = HoldState::kHeld;
      Tell(events_, "power scheme: the lid and the power and sleep buttons do nothing during the write (were " +
                        Described(before_) + ")");
      return;
    }
    const std::string why = Reason(*scheme_);
    if (scheme_->Write(before_)) {
      scheme_->ClearMarker();
      Tell(events_, "power scheme could not be changed (" + why + "), and is as it was");
      return;
    }
    state_ = HoldState::kLeftChanged;
    Tell(events_, "power scheme could be neither changed nor restored (" + why +
                      "): nothing is written; the next start of the tool restores it");
  } catch (...) {
    // Only the texts can throw (memory ran out): a change that was tried and is not known
    // to be undone leaves the scheme unknown.
    if (changed_) {
      state_ = HoldState::kHeld;
    } else if (tried && state_ == HoldState::kUnchanged) {
      state_ = HoldState::kLeftChanged;
    }
  }
}

SleepHold::~SleepHold() {
  if (!changed_) return;
  try {
    if (!scheme_->Write(before_)) {
      Tell(events_,
           "power scheme could not be restored (" + Reason(*scheme_) + "): the next start of the tool restores it");
      return;
    }
    if (!scheme_->ClearMarker()) Tell(events_, "the marker of the power scheme's change could not be removed");
    Tell(events_, "power scheme restored: " + Described(before_));
  } catch (...) {
  }
}

void RestoreLeftScheme(PowerScheme& scheme, WorkerEvents& events) noexcept {
  try {
    ButtonActions before;
    switch (scheme.LoadMarker(before)) {
      case MarkerRead::kNone: return;
      case MarkerRead::kUnreadable:
        // Nothing can be restored from it, and a later hold must be able to mark its own.
        scheme.ClearMarker();
        Tell(events, "the marker of a power scheme an earlier run changed cannot be read: it is removed");
        return;
      case MarkerRead::kRead: break;
    }
    if (!scheme.Write(before)) {
      Tell(events, "the power scheme an earlier run left changed could not be restored (" + Reason(scheme) + ")");
      return;
    }
    scheme.ClearMarker();
    Tell(events, "power scheme restored after an earlier run left it changed: " + Described(before));
  } catch (...) {
  }
}
