// The system as the window's update run reaches it: the ACPI device, the power source, the
// worker thread and the window's message queue.
#pragma once

#include <windows.h>

#include <optional>

#include "app/update_run.h"
#include "app/win32/busy_guard_win32.h"
#include "app/win32/update_preconditions_win32.h"
#include "app/win32/update_worker_win32.h"
#include "platform/win32/unique_handle.h"

class Win32UpdateRunPlatform final : public UpdateRunPlatform {
 public:
  // `busy` is the window's: held from the thread's start until its end was seen.
  Win32UpdateRunPlatform(WorkerJob& job, HWND window, std::optional<BusyGuard>& busy)
      : job_(job), checks_(job.acpi), window_(window), busy_(busy) {}

  bool EnsureAcpiDevice() override { return checks_.EnsureAcpiDevice(); }
  SystemError AcpiFailure() const override { return checks_.AcpiFailure(); }
  // Why no worker thread could be made; empty when one was.
  SystemError ThreadFailure() const { return threadFailure_; }
  PowerSource QueryPowerSource() override { return checks_.QueryPowerSource(); }
  bool StartWorker(const char16_t* busyReason) override;
  WorkerWait WaitForWorker() override;
  bool WaitForWorkerEnd() override;
  StatusCode CloseWorker() override;

 private:
  WorkerJob& job_;
  SystemPreconditions checks_;
  SystemError threadFailure_;
  HWND window_;
  std::optional<BusyGuard>& busy_;
  // Closing the handle does not stop the thread: a worker whose end was never seen keeps
  // the window busy after the run has returned.
  UniqueKernelHandle thread_;
};
