// The checks before an update on the real system: the tool's ACPI device, opened in the
// device object its owner holds, and the power source.
#pragma once

#include "app/update_preconditions.h"
#include "controller/acpi_device.h"

class SystemPreconditions final : public UpdatePreconditions {
 public:
  explicit SystemPreconditions(AcpiDevice& device) : device_(device) {}
  bool EnsureAcpiDevice() override;
  SystemError AcpiFailure() const override { return device_.LastFailure(); }
  PowerSource QueryPowerSource() override;

 private:
  AcpiDevice& device_;
};
