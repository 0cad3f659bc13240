#include "platform/win32/message_wait_win32.h"

namespace {

// A queue that fills faster than it is emptied (a window that never validates, a flood of
// posts) must not hold the caller past its time: a bounded number a turn.
constexpr int kMessagesPerTurn = 64;

void DispatchWaiting() {
  MSG message;
  for (int i = 0; i < kMessagesPerTurn && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

MessageWait WaitAnsweringMessages(HANDLE object, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    const DWORD left = spent >= milliseconds ? 0 : milliseconds - spent;
    // MWMO_INPUTAVAILABLE: also input already in the queue, not only input new since the
    // last look, wakes the wait.
    switch (MsgWaitForMultipleObjectsEx(1, &object, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE)) {
      case WAIT_OBJECT_0: return MessageWait::kSignalled;
      case WAIT_OBJECT_0 + 1:
        DispatchWaiting();
        if (left == 0) return MessageWait::kTimedOut;
        break;
      case WAIT_TIMEOUT: return MessageWait::kTimedOut;
      default: return MessageWait::kWaitFailed;
    }
  }
}
