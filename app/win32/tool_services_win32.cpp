#include "app/win32/tool_services_win32.h"

#include "platform/win32/wmi_win32.h"

namespace {

Win32ComRuntime comRuntime;

}  // namespace

ControllerClient& TheControllerClient() {
  static ControllerClient client(comRuntime);
  return client;
}
