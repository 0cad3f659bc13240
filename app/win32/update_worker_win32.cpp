#include "app/win32/update_worker_win32.h"

#include "app/win32/system_worker_win32.h"

#include "app/win32/tool_services_win32.h"
#include "controller/image_validation.h"

SystemWorkerEnvironment::SystemWorkerEnvironment()
    : env_{com_,
           TheAcpiDevice(),
           services_,
           TheControllerClient(),
           platform_,
           [](ControllerAccess& controller, std::span<const std::uint8_t> image, std::uint32_t& imageVersion) {
             return ValidateImage(controller, image, imageVersion);
           }} {}

DWORD WINAPI UpdateWorker(LPVOID shared) {
  auto* work = static_cast<WorkerShared*>(shared);
  SystemWorkerEnvironment system;
  system.get().events = work->events;
  *work->status = RunUpdateWorker(system.get(), work->downgradable);
  return 0;
}
