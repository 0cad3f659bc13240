#include "app/win32/shutdown_win32.h"

#include "platform/win32/unique_handle.h"

namespace {

// The system's error, never 0: a failure that left none is told as a general failure.
DWORD LastError() {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

DWORD EnableShutdownPrivilege() {
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) return LastError();
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  UniqueKernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) return LastError();
  // Succeeds also when the token lacks the privilege; only the last error tells.
  SetLastError(ERROR_SUCCESS);
  if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) return LastError();
  if (GetLastError() == ERROR_NOT_ALL_ASSIGNED) return ERROR_NOT_ALL_ASSIGNED;
  return ERROR_SUCCESS;
}

}  // namespace

DWORD RequestPowerOff() {
  if (const DWORD error = EnableShutdownPrivilege(); error != ERROR_SUCCESS) return error;
  return ExitWindowsEx(EWX_POWEROFF, 0) ? ERROR_SUCCESS : LastError();
}

DWORD RequestUnattendedPowerOff() {
  if (const DWORD error = EnableShutdownPrivilege(); error != ERROR_SUCCESS) return error;
  // No SHUTDOWN_FORCE_OTHERS: a user's unsaved work is theirs to close.
  return InitiateShutdownW(nullptr, nullptr, 0, SHUTDOWN_POWEROFF,
                           SHTDN_REASON_MAJOR_SOFTWARE | SHTDN_REASON_MINOR_UPGRADE | SHTDN_REASON_FLAG_PLANNED);
}
