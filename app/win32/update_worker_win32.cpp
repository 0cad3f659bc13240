#include "app/win32/update_worker_win32.h"

#include "app/win32/system_worker_win32.h"

DWORD WINAPI UpdateWorker(LPVOID job) {
  auto* work = static_cast<WorkerJob*>(job);
  // No exception may end the thread, and so the process, without a status: the procedure
  // contains its own (and powers the controller off); this catches what making its
  // environment can throw, before the controller was powered.
  StatusCode status = kWorkerException;
  try {
    SystemWorkerEnvironment system(work->acpi);
    system.get().events = work->events;
    status = RunUpdateWorker(system.get(), work->request);
  } catch (...) {
    status = kWorkerException;
  }
  work->status = status;
  return 0;
}
