// What a window of the tool holds while the update worker runs (the tool's own, or the
// unattended run's hidden one): a reason that keeps the session from ending without the
// user being told why, and a request that keeps the system awake.
#pragma once

#include <windows.h>

class BusyGuard {
 public:
  // On the thread that created `window`: the system accepts a block reason only from it,
  // and the execution state belongs to the calling thread.
  BusyGuard(HWND window, const wchar_t* reason)
      : window_(window), reasonSet_(::ShutdownBlockReasonCreate(window, reason) != FALSE) {
    ::SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
  }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;
  ~BusyGuard() {
    ::SetThreadExecutionState(ES_CONTINUOUS);
    if (reasonSet_) ::ShutdownBlockReasonDestroy(window_);
  }

 private:
  HWND window_;
  bool reasonSet_;
};
