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
           }} {
  env_.record = &record_;
}

DWORD WINAPI UpdateWorker(LPVOID shared) {
  auto* work = static_cast<WorkerShared*>(shared);
  // No exception may end the thread, and so the process, without a status: the procedure
  // contains its own (and powers the controller off); this catches what making its
  // environment can throw, before the controller was powered.
  try {
    SystemWorkerEnvironment system;
    system.get().events = work->events;
    *work->status = RunUpdateWorker(system.get(), work->downgradable);
  } catch (...) {
    *work->status = kWorkerException;
  }
  return 0;
}
