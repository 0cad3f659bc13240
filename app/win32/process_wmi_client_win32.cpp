#include "app/win32/process_wmi_client_win32.h"

#include "platform/win32/wmi_win32.h"

ComRuntime& TheComRuntime() {
  static Win32ComRuntime runtime;
  return runtime;
}

ControllerClient& TheControllerClient() {
  static ControllerClient client(TheComRuntime());
  return client;
}
