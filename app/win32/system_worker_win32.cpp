#include "app/win32/system_worker_win32.h"

#include "app/win32/process_wmi_client_win32.h"
#include "controller/image_validation.h"

SystemWorkerEnvironment::SystemWorkerEnvironment(AcpiDevice& acpi)
    : env_{TheComRuntime(),
           acpi,
           services_,
           TheControllerClient(),
           platform_,
           [](ControllerAccess& controller, std::span<const std::uint8_t> image, std::uint32_t& imageVersion,
              ValidationDetail& detail) { return ValidateImage(controller, image, imageVersion, &detail); }} {
  env_.record = &record_;
  env_.scheme = &scheme_;
}
