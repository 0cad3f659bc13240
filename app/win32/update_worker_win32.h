// The update procedure with the system's own services: on the window's worker thread, or
// on the main thread of an unattended run.
#pragma once

#include <windows.h>

#include "app/run_request.h"
#include "app/update_worker.h"
#include "app/worker_events.h"
#include "common/status_codes.h"
#include "controller/acpi_device.h"

// What the window hands its worker thread. All but `status` is set before the thread
// starts and only read by it; `status` is written once, by the worker as its last act, and
// read only after the thread has been seen to end.
struct WorkerJob {
  const RunRequest& request;
  AcpiDevice& acpi;                      // opened by the window before the thread starts
  WorkerEvents* events = nullptr;        // the run log, when one is kept
  StatusCode status = kWorkerException;  // until the worker says otherwise
};

// Thread procedure: runs the update procedure for a WorkerJob and leaves its outcome in
// the job's status. Always returns 0.
DWORD WINAPI UpdateWorker(LPVOID job);
