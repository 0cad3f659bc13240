// The checks before an update on the real system: the tool's ACPI device and the power
// source.
#pragma once

#include "app/update_preconditions.h"

class SystemPreconditions final : public UpdatePreconditions {
 public:
  bool EnsureAcpiDevice() override;
  PowerSource QueryPowerSource() override;
};
