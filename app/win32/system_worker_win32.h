// The update procedure's environment on the real system, for the thread that runs it.
#pragma once

#include "app/update_worker.h"
#include "platform/win32/power_scheme_win32.h"
#include "platform/win32/service_manager_win32.h"
#include "platform/win32/update_record_win32.h"
#include "platform/win32/worker_platform_win32.h"

// The process's COM runtime and WMI client, the service manager, the files, the registry
// record and the power scheme, with the ACPI device its owner opened, bound for one run of
// the procedure on the thread that holds it.
class SystemWorkerEnvironment {
 public:
  explicit SystemWorkerEnvironment(AcpiDevice& acpi);
  SystemWorkerEnvironment(const SystemWorkerEnvironment&) = delete;
  SystemWorkerEnvironment& operator=(const SystemWorkerEnvironment&) = delete;
  UpdateWorkerEnvironment& get() { return env_; }

 private:
  Win32ServiceManager services_;
  Win32WorkerPlatform platform_;
  Win32UpdateRecord record_;
  Win32PowerScheme scheme_;
  UpdateWorkerEnvironment env_;
};
