// The two ways out offered after a successful update.
#pragma once

#include <cstdint>

#include "app/status_message.h"

class UpdateView;

// The system and the window as the shut-down buttons reach them.
class SessionControl {
 public:
  virtual ~SessionControl() = default;
  // Asks the system to power off: 0 when the power-off has started, otherwise the system's
  // error (never 0).
  virtual std::uint32_t RequestPowerOff() = 0;
  // Asks the window to close once the current message is handled.
  virtual void PostClose() = 0;
};

// Powers the computer off and closes the window. When the system refuses, the window
// stays open and its message says so (the generic error text with the system's code):
// closing it then would let the user believe the computer is shutting down. Returns the
// system's answer, 0 when the power-off started.
std::uint32_t ShutDownNow(SessionControl& session, UpdateView& view, const TextLookup& lookup);

// Closes the window and leaves the computer running.
inline void ShutDownLater(SessionControl& session) { session.PostClose(); }
