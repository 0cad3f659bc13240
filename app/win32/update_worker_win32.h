// The update procedure with the system's own services: on the window's worker thread, or
// on the main thread of an unattended run.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/worker_events.h"
#include "common/status_codes.h"

// What the worker shares with the window: read before it starts, written when it ends.
struct WorkerShared {
  std::int32_t downgradable;
  StatusCode* status;
  WorkerEvents* events = nullptr;  // the run log, when one is kept
};

// Thread procedure: runs the update procedure and leaves its outcome in *status. Always
// returns 0.
DWORD WINAPI UpdateWorker(LPVOID shared);
