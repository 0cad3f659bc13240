#include "app/win32/single_instance_win32.h"

SingleInstance::SingleInstance(const wchar_t* name) {
  ::SetLastError(ERROR_SUCCESS);
  mutex_.reset(::CreateMutexW(nullptr, FALSE, name));
  const DWORD error = ::GetLastError();
  // The name exists: another copy made it, or a copy running with other rights holds it
  // where this one may not open it. Any other failure tells nothing of other copies, and
  // refusing to start on it could lock the tool out for good, so this copy runs.
  first_ = !(mutex_ ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED);
}

bool BringWindowToFront(const wchar_t* windowClass, const wchar_t* title) {
  const HWND window = ::FindWindowW(windowClass, title);
  if (window == nullptr) return false;
  if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
  ::SetForegroundWindow(window);
  return true;
}
