#include "app/win32/unattended_busy_win32.h"

#include <optional>

#include "app/win32/busy_guard_win32.h"
#include "platform/win32/wide.h"

namespace {

constexpr wchar_t kBusyClass[] = L"Vanto.TbtFwUpdate.Busy";

LRESULT CALLBACK BusyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Ending the session mid-update would cut the controller's write and leave it powered.
  if (message == WM_QUERYENDSESSION) return FALSE;
  if (message == WM_ENDSESSION) return 0;
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  // A suspend that comes anyway (the system's own, at a critical battery) cannot be
  // refused: the log tells of it.
  if (message == WM_POWERBROADCAST) {
    auto* events = reinterpret_cast<WorkerEvents*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (wParam == PBT_APMSUSPEND && events != nullptr)
      events->OnNote("the system is suspending (PBT_APMSUSPEND) during the update");
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeBusyWindow(WorkerEvents* events) {
  WNDCLASSEXW type{};
  type.cbSize = sizeof type;
  type.lpfnWndProc = BusyWindowProc;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = kBusyClass;
  RegisterClassExW(&type);  // fails harmlessly when a second hold registers it again
  return CreateWindowExW(WS_EX_TOOLWINDOW, kBusyClass, kUnattendedBusyTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                         type.hInstance, events);
}

// The window and the reason belong to the thread that made them, and the execution state
// to the thread that set it: all are undone here, on that thread, the busy state (the
// window's own, BusyGuard) before the window goes.
class HoldOnThisThread {
 public:
  HoldOnThisThread(const wchar_t* reason, WorkerEvents* events) : window_(MakeBusyWindow(events)) {
    if (window_) busy_.emplace(window_.get(), reason);
  }
  bool Holding() const { return busy_.has_value(); }

 private:
  UniqueWindow window_;
  std::optional<BusyGuard> busy_;
};

}  // namespace

DWORD WINAPI UnattendedBusyHold::Hold(LPVOID param) {
  auto* self = static_cast<UnattendedBusyHold*>(param);
  MSG message;
  // The thread's queue exists before the owner can post WM_QUIT to it.
  PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  const HoldOnThisThread hold(self->reason_.c_str(), self->events_);
  self->held_ = hold.Holding();
  SetEvent(self->ready_.get());
  if (!hold.Holding()) return 1;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

bool UnattendedBusyHold::Begin(const char16_t* reason) {
  End();
  reason_ = AsWide(reason);
  ready_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ready_) return false;
  held_ = false;
  thread_.reset(CreateThread(nullptr, 0, Hold, this, 0, &threadId_));
  if (!thread_) return false;
  // The thread sets the event on every path, before anything else can fail.
  WaitForSingleObject(ready_.get(), INFINITE);
  if (!held_) End();
  return held_;
}

void UnattendedBusyHold::End() {
  if (!thread_) return;
  PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  WaitForSingleObject(thread_.get(), INFINITE);
  thread_.reset();
  held_ = false;
}
