// What must hold before an update starts, asked the same way by the window and by an
// unattended run.
#pragma once

#include "platform/power_source.h"
#include "platform/system_error.h"

class UpdatePreconditions {
 public:
  virtual ~UpdatePreconditions() = default;
  // Opens the ACPI device unless it is open; true when it is open afterwards.
  virtual bool EnsureAcpiDevice() = 0;
  // Why the device could not be opened, as the system said; empty when it gave no reason.
  virtual SystemError AcpiFailure() const { return {}; }
  virtual PowerSource QueryPowerSource() = 0;
};
