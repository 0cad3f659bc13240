#include "app/win32/update_run_platform_win32.h"

#include <utility>

#include "platform/win32/message_wait_win32.h"
#include "platform/win32/wide.h"

namespace {

// Input and close requests still queued when the worker ends were made while the window
// refused them: handled after the run they would close the window the moment it shows
// the outcome.
void DropQueuedRequests() {
  constexpr std::pair<UINT, UINT> kRanges[] = {
      {WM_KEYFIRST, WM_KEYLAST}, {WM_MOUSEFIRST, WM_MOUSELAST}, {WM_CLOSE, WM_CLOSE}, {WM_COMMAND, WM_SYSCOMMAND}};
  MSG message;
  for (const auto& [first, last] : kRanges) {
    while (PeekMessageW(&message, nullptr, first, last, PM_REMOVE)) {
    }
  }
}

}  // namespace

bool Win32UpdateRunPlatform::StartWorker(const char16_t* busyReason) {
  // Busy before the thread exists, so the worker's first request already finds the
  // system held awake.
  busy_.emplace(window_, AsWide(busyReason));
  DWORD id = 0;
  thread_.reset(CreateThread(nullptr, 0, UpdateWorker, &job_, 0, &id));
  if (!thread_) {
    threadFailure_ = {"CreateThread", GetLastError()};
    busy_.reset();
  }
  return static_cast<bool>(thread_);
}

WorkerWait Win32UpdateRunPlatform::WaitForWorker() {
  switch (WaitAnsweringMessages(thread_.get(), 100)) {
    case MessageWait::kTimedOut: return WorkerWait::kRunning;
    case MessageWait::kSignalled: return WorkerWait::kEnded;
    default: return WorkerWait::kWaitFailed;
  }
}

bool Win32UpdateRunPlatform::WaitForWorkerEnd() {
  return WaitForSingleObject(thread_.get(), INFINITE) == WAIT_OBJECT_0;
}

StatusCode Win32UpdateRunPlatform::CloseWorker() {
  thread_.reset();
  DropQueuedRequests();
  busy_.reset();
  return job_.status;
}
