// How the Win32 adapters keep the reason of the call they just made, for the log.
#pragma once

#include <windows.h>

#include "platform/system_error.h"

// Keeps the outcome of the call just made in `last`: on a failure its name and
// GetLastError(), read before anything else can change it. Gives `ok` back.
inline bool Noted(LastSystemError& last, const char* call, bool ok) {
  if (ok) {
    last.Succeeded();
  } else {
    last.Failed(call, GetLastError());
  }
  return ok;
}
