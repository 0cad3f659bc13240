#include "app/win32/update_worker_win32.h"

#include "app/update_worker.h"
#include "app/win32/tool_services_win32.h"
#include "controller/image_validation.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/wmi_win32.h"

DWORD WINAPI UpdateWorker(LPVOID shared) {
  auto* work = static_cast<WorkerShared*>(shared);
  Win32ComRuntime com;
  Win32ServiceManager services;
  Win32WorkerPlatform platform;
  UpdateWorkerEnvironment env{com,
                              TheAcpiDevice(),
                              services,
                              TheControllerClient(),
                              platform,
                              [](ControllerAccess& controller, std::span<const std::uint8_t> image,
                                 std::uint32_t& imageVersion) { return ValidateImage(controller, image, imageVersion); }};
  *work->status = RunUpdateWorker(env, work->downgradable);
  return 0;
}
