// The busy state of an unattended run, which has no window of its own to refuse with: a
// thread that holds the system awake and owns a hidden top-level window refusing every
// request to end the session, with the busy reason the system shows for it. (A
// message-only window is never asked whether the session may end.) A suspend announced
// to the window (PBT_APMSUSPEND) is told to the run's log.
#pragma once

#include <windows.h>

#include <string>

#include "app/unattended_run.h"
#include "app/worker_events.h"
#include "platform/win32/unique_handle.h"

// The hidden window's title: not the tool's own, so no second copy takes it for the
// tool's window.
inline constexpr wchar_t kUnattendedBusyTitle[] = L"Vanto Thunderbolt Firmware Update (unattended)";

class UnattendedBusyHold final : public BusyHold {
 public:
  explicit UnattendedBusyHold(WorkerEvents* events) : events_(events) {}
  UnattendedBusyHold(const UnattendedBusyHold&) = delete;
  UnattendedBusyHold& operator=(const UnattendedBusyHold&) = delete;
  ~UnattendedBusyHold() override { End(); }

  // Returns once the window refuses session ends and the system is held awake; false when
  // the thread or its window could not be made (nothing is then held).
  bool Begin(const char16_t* reason) override;
  void End() override;

 private:
  static DWORD WINAPI Hold(LPVOID self);

  WorkerEvents* events_;
  std::wstring reason_;
  UniqueKernelHandle ready_;
  UniqueKernelHandle thread_;
  DWORD threadId_ = 0;
  bool held_ = false;
};
