#include "app/win32/update_preconditions_win32.h"

#include "app/win32/tool_services_win32.h"
#include "platform/win32/power_source_win32.h"

bool SystemPreconditions::EnsureAcpiDevice() {
  AcpiDevice& device = TheAcpiDevice();
  return device.IsOpen() || device.OpenAcpiDevice();
}

PowerSource SystemPreconditions::QueryPowerSource() {
  const std::optional<bool> onBattery = SystemOnBattery();
  if (!onBattery) return PowerSource::kUnknown;
  return *onBattery ? PowerSource::kBattery : PowerSource::kAc;
}
