// The controller's service, emulated: a Windows service that reports itself running
// until it is asked to stop. While it runs, the emulated WMI provider serves the
// controller (when the driver has it powered on). Each start and stop is appended to
// C:\TbtEmulator\out\service.txt.
#include <windows.h>

#include <fstream>

#include "platform/win32/unique_handle.h"

namespace {

SERVICE_STATUS_HANDLE g_status = nullptr;
HANDLE g_stop = nullptr;  // lives as long as the process

void Report(DWORD state) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
  SetServiceStatus(g_status, &status);
}

void Note(const char* line) { std::ofstream("C:\\TbtEmulator\\out\\service.txt", std::ios::app) << line << '\n'; }

DWORD WINAPI OnControl(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_SHUTDOWN) {
    Report(SERVICE_STOP_PENDING);
    SetEvent(g_stop);
  }
  return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
  g_status = RegisterServiceCtrlHandlerExW(L"ThunderboltService", OnControl, nullptr);
  if (g_status == nullptr) return;
  Note("start");
  Report(SERVICE_RUNNING);
  WaitForSingleObject(g_stop, INFINITE);
  Note("stop");
  Report(SERVICE_STOPPED);
}

}  // namespace

int wmain() {
  const UniqueKernelHandle stop(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!stop) return 1;
  g_stop = stop.get();
  wchar_t name[] = L"ThunderboltService";
  const SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherW(table) != FALSE ? 0 : 1;
}
