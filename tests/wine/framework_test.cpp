// The dialog framework's modal loop.
#include <gtest/gtest.h>

#include "tests/wine/skin_test_dialog.h"

namespace {

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
