// The process-wide objects of the tool: the ACPI device (empty at start-up, opened by the
// first press of Update, closed when the window goes) and the controller's WMI client.
#pragma once

#include "controller/acpi_device.h"
#include "controller/controller_client.h"

AcpiDevice& TheAcpiDevice();
ControllerClient& TheControllerClient();
