#include "platform/win32/power_source_win32.h"

#include <windows.h>
#include <powrprof.h>

#include "platform/win32/dll_search_win32.h"
#include "platform/win32/unique_handle.h"

std::optional<bool> SystemOnBattery() {
  const UniqueLibrary powrprof(LoadSystemLibrary(L"powrprof.dll"));
  if (!powrprof) return std::nullopt;
  using CallNtPowerInformationFunction = LONG(WINAPI*)(POWER_INFORMATION_LEVEL, PVOID, ULONG, PVOID, ULONG);
  const auto call = reinterpret_cast<CallNtPowerInformationFunction>(
      reinterpret_cast<void*>(::GetProcAddress(powrprof.get(), "CallNtPowerInformation")));
  if (call == nullptr) return std::nullopt;
  SYSTEM_BATTERY_STATE battery{};
  if (call(SystemBatteryState, nullptr, 0, &battery, sizeof battery) != 0) return std::nullopt;
  return battery.AcOnLine == FALSE;
}
