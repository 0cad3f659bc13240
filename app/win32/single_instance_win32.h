// One copy of a program per session. The first copy owns a named mutex in the session's
// namespace ("Local\...") for as long as it lives; a copy started meanwhile finds the name
// taken and leaves the work to the first.
#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"

class SingleInstance {
 public:
  explicit SingleInstance(const wchar_t* name);
  // False when another copy holds the name.
  bool IsFirst() const { return first_; }

 private:
  UniqueKernelHandle mutex_;
  bool first_ = true;
};

// Brings the top-level window of class `windowClass` titled `title` to the front,
// restoring it when minimised; false when there is no such window.
bool BringWindowToFront(const wchar_t* windowClass, const wchar_t* title);
