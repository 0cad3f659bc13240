// Waiting on the window's thread without leaving its window unanswered.
#pragma once

#include <windows.h>

enum class MessageWait { kSignalled, kTimedOut, kWaitFailed };

// Waits up to `milliseconds` for `object`, dispatching the thread's messages as they arrive
// meanwhile: a screen reader's questions, the input and the paints of the window are
// answered at once rather than once the wait is over. Returns once the object is
// signalled or the time is up, whichever is first.
MessageWait WaitAnsweringMessages(HANDLE object, DWORD milliseconds);
