// The two ways out offered after a successful update.
#pragma once

// The system and the window as the shut-down buttons reach them.
class SessionControl {
 public:
  virtual ~SessionControl() = default;
  // Asks the system to power off; false when it refused or the request could not be made.
  virtual bool RequestPowerOff() = 0;
  // Asks the window to close once the current message is handled.
  virtual void PostClose() = 0;
};

// Powers the computer off and closes the window, whether or not the system agrees.
inline void ShutDownNow(SessionControl& session) {
  session.RequestPowerOff();
  session.PostClose();
}

// Closes the window and leaves the computer running.
inline void ShutDownLater(SessionControl& session) { session.PostClose(); }
