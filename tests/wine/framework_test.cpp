// The dialog framework's own paths: the application's run and a modal dialog's loop.
#include "framework/application.h"

#include <gtest/gtest.h>

#include "tests/wine/skin_test_dialog.h"

namespace {

class ScriptedApp : public Application {
 public:
  explicit ScriptedApp(bool loop) : loop_(loop) {}
  bool InitInstance() override {
    ++calls;
    if (loop_) ::PostQuitMessage(0);  // the loop then ends at once
    return loop_;
  }
  int ExitInstance() override { return calls * 10 + (loop_ ? 1 : 0); }
  int calls = 0;

 private:
  bool loop_;
};

TEST(RunApplication, InitInstanceThenLoopOnlyWhenAskedThenExitInstance) {
  for (bool loop : {false, true}) {
    ScriptedApp app(loop);
    EXPECT_EQ(RunApplication(app), 10 + (loop ? 1 : 0)) << "loop " << loop;
  }
}

TEST(DialogDoModal, RunsUntilACommandEndsItAndReturnsItsResult) {
  TestDialog dialog;
  const INT_PTR result = dialog.RunModal([](TestDialog& d) {
    d.SetBackground(kBackground, L"IMG", nullptr, 1.0);
    ::PostMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_GE(dialog.frames, 1) << "the first frame was composed at initialisation";
  EXPECT_EQ(dialog.hwnd(), nullptr) << "the window is gone and the object detached";
}

}  // namespace
