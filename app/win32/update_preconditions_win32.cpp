#include "app/win32/update_preconditions_win32.h"

#include <windows.h>
#include <powrprof.h>

#include "app/win32/tool_services_win32.h"

bool SystemPreconditions::EnsureAcpiDevice() {
  AcpiDevice& device = TheAcpiDevice();
  return device.IsOpen() || device.OpenAcpiDevice();
}

PowerSource SystemPreconditions::QueryPowerSource() {
  SYSTEM_BATTERY_STATE battery{};
  if (CallNtPowerInformation(SystemBatteryState, nullptr, 0, &battery, sizeof battery) != 0) return PowerSource::kUnknown;
  return battery.AcOnLine ? PowerSource::kAc : PowerSource::kBattery;
}
