#include "app/win32/shutdown_win32.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"

void RequestPowerOff() {
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid);
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  UniqueKernelHandle token;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, token.put())) {
    AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
  }
  ExitWindowsEx(EWX_POWEROFF, 0);
}
