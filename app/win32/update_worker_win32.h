// The update worker's thread.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/status_codes.h"

// What the worker shares with the window: read before it starts, written when it ends.
struct WorkerShared {
  std::int32_t downgradable;
  StatusCode* status;
};

// Thread procedure: runs the update procedure with the system's own services and leaves
// its outcome in *status. Always returns 0.
DWORD WINAPI UpdateWorker(LPVOID shared);
