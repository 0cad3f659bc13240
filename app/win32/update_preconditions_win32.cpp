#include "app/win32/update_preconditions_win32.h"

#include "platform/win32/power_source_win32.h"

bool SystemPreconditions::EnsureAcpiDevice() { return device_.IsOpen() || device_.OpenAcpiDevice(); }

PowerSource SystemPreconditions::QueryPowerSource() {
  const std::optional<bool> onBattery = SystemOnBattery();
  if (!onBattery) return PowerSource::kUnknown;
  return *onBattery ? PowerSource::kBattery : PowerSource::kAc;
}
