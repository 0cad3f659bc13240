// Waiting on the window's thread: what reaches its window meanwhile is answered at once.
#include "platform/win32/message_wait_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/unique_handle.h"

namespace {

constexpr UINT kQuestion = WM_APP, kNote = WM_APP + 1;
constexpr WPARAM kQuestions = 40;
int notesSeen = 0;

LRESULT CALLBACK Answer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kQuestion) return static_cast<LRESULT>(wParam) + 1;
  if (message == kNote) ++notesSeen;
  return DefWindowProcW(window, message, wParam, lParam);
}

// A window of this thread that answers kQuestion with its number plus one.
UniqueWindow MakeWindow() {
  static const ATOM kind = [] {
    WNDCLASSW c{};
    c.lpfnWndProc = Answer;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = L"MessageWaitTest";
    return RegisterClassW(&c);
  }();
  EXPECT_NE(kind, 0);
  return UniqueWindow(CreateWindowExW(0, L"MessageWaitTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
}

// Another thread asks the window forty questions, one after the other, as a screen reader
// asks a control its role, name and state; then signals `done`.
struct Asker {
  HWND window;
  HANDLE done;
  WPARAM answered = 0;
};

DWORD WINAPI Ask(void* context) {
  auto& asker = *static_cast<Asker*>(context);
  for (WPARAM i = 0; i < kQuestions; ++i) {
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(asker.window, kQuestion, i, 0, SMTO_NORMAL, 5000, &answer) != 0 && answer == i + 1)
      ++asker.answered;
  }
  SetEvent(asker.done);
  return 0;
}

TEST(WaitAnsweringMessages, AnswersAnotherThreadWithinTheWaitNotAfterIt) {
  UniqueWindow window = MakeWindow();
  ASSERT_TRUE(window);
  UniqueKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  Asker asker{window.get(), done.get()};
  UniqueKernelHandle thread(CreateThread(nullptr, 0, Ask, &asker, 0, nullptr));
  ASSERT_TRUE(thread);
  int turns = 0;
  MessageWait wait = MessageWait::kTimedOut;
  while (turns < 600 && (wait = WaitAnsweringMessages(done.get(), 100)) == MessageWait::kTimedOut) ++turns;
  EXPECT_EQ(wait, MessageWait::kSignalled);
  WaitForSingleObject(thread.get(), 10000);
  EXPECT_EQ(asker.answered, kQuestions);
  // Answered once a turn, forty questions take some twenty turns of 100 ms or more (as
  // measured); answered as they come, all of them take a fraction of one.
  EXPECT_LT(turns, 8);
}

TEST(WaitAnsweringMessages, DispatchesWhatIsQueuedAndKeepsToItsTime) {
  UniqueWindow window = MakeWindow();
  ASSERT_TRUE(window);
  UniqueKernelHandle never(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  notesSeen = 0;
  for (int i = 0; i < 3; ++i) PostMessageW(window.get(), kNote, 0, 0);
  const DWORD start = GetTickCount();
  EXPECT_EQ(WaitAnsweringMessages(never.get(), 200), MessageWait::kTimedOut);
  EXPECT_GE(GetTickCount() - start, 150u);  // the messages did not end the wait early
  EXPECT_EQ(notesSeen, 3);

  UniqueKernelHandle signalled(CreateEventW(nullptr, TRUE, TRUE, nullptr));
  EXPECT_EQ(WaitAnsweringMessages(signalled.get(), 10000), MessageWait::kSignalled);
  EXPECT_EQ(WaitAnsweringMessages(nullptr, 10), MessageWait::kWaitFailed);
}

}  // namespace
