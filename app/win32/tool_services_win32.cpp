#include "app/win32/tool_services_win32.h"

#include "platform/win32/system_win32.h"
#include "platform/win32/wmi_win32.h"

namespace {

Win32DeviceIo deviceIo;
Win32ComRuntime comRuntime;

}  // namespace

AcpiDevice& TheAcpiDevice() {
  static AcpiDevice device(deviceIo);
  return device;
}

ControllerClient& TheControllerClient() {
  static ControllerClient client(comRuntime);
  return client;
}
