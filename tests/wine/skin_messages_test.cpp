// The skinned controls driven through real window messages: which changes compose the
// window, and when.
#include <gtest/gtest.h>

#include "tests/wine/skin_test_dialog.h"

namespace {

class Messages : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dialog.Open([](TestDialog& d) {
      d.SetBackground(kBackground, L"IMG", nullptr, 1.0);
      Place(d.update, 10, 10, 40, 20);
      d.update.SetImages(kOpaque, 0, 0, 0, L"IMG", nullptr, 1.0);
      d.AddControl(&d.update);
      Place(d.message, 10, 60, 100, 40);
      d.AddControl(&d.message);
      Place(d.picture, 120, 60, 40, 20);
      d.picture.SetImage(kBright, L"IMG", nullptr, 1.0);  // never added
    }));
    ASSERT_GT(dialog.frames, 0);
  }
  // Frames composed while `action` runs.
  template <typename Action>
  int FramesDuring(Action action) {
    int before = dialog.frames;
    action();
    return dialog.frames - before;
  }
  TestDialog dialog;
};

TEST_F(Messages, EachVisibleChangeComposesOnceAndRepeatsComposeNothing) {
  HWND button = dialog.update.hwnd();
  struct Row {
    const char* change;
    std::function<void()> action;
    int frames;
  } rows[] = {
      {"disable", [&] { ::EnableWindow(button, FALSE); }, 1},
      {"WM_ENABLE with the same value", [&] { ::SendMessageW(button, WM_ENABLE, FALSE, 0); }, 0},
      {"enable", [&] { ::EnableWindow(button, TRUE); }, 1},
      {"hide", [&] { dialog.update.ShowWindow(SW_HIDE); }, 1},
      {"hide the hidden", [&] { dialog.update.ShowWindow(SW_HIDE); }, 0},
      {"show", [&] { dialog.update.ShowWindow(SW_SHOW); }, 1},
      {"move", [&] { ::SetWindowPos(button, nullptr, 12, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); }, 1},
      {"size", [&] { ::SetWindowPos(button, nullptr, 0, 0, 44, 20, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE); }, 1},
      {"hover report", [&] { ::SendMessageW(button, WM_MOUSEHOVER, 0, 0); }, 1},
      {"leave report", [&] { ::SendMessageW(button, WM_MOUSELEAVE, 0, 0); }, 1},
      {"SetImages", [&] { dialog.update.SetImages(kBright, 0, 0, 0, L"IMG", nullptr, 1.0); }, 0},
      {"SetImage", [&] { dialog.message.SetImage(kBright, L"IMG", nullptr, 1.0); }, 0},
      {"font, colour, alignment",
       [&] {
         dialog.message.SetFont(L"Arial", 10.0f, 0, Gdiplus::UnitPixel);
         dialog.message.SetTextColor(0xFF00FF00);
         dialog.update.SetAlignment(Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentFar);
       },
       0},
      {"disable a panel", [&] { ::EnableWindow(dialog.message.hwnd(), FALSE); }, 1},
      {"set text", [&] { ::SetWindowTextW(dialog.message.hwnd(), L"Updated"); }, 1},
  };
  for (const Row& row : rows) EXPECT_EQ(FramesDuring(row.action), row.frames) << row.change;
  EXPECT_EQ(dialog.messageTextAtFrame, L"Updated") << "the frame shows the new text";
}

TEST_F(Messages, AControlNeverAddedIsNeverDrawnNorComposes) {
  HWND picture = dialog.picture.hwnd();
  EXPECT_EQ(FramesDuring([&] {
              ::SetWindowTextW(picture, L"x");
              ::SetWindowPos(picture, nullptr, 121, 61, 40, 20, SWP_NOZORDER | SWP_NOACTIVATE);
              ::EnableWindow(picture, FALSE);
              dialog.picture.ShowWindow(SW_HIDE);
              dialog.picture.ShowWindow(SW_SHOW);
            }),
            0);
  dialog.Compose();
  EXPECT_EQ(dialog.Pixel(130, 70), 0xFF282828u);
}

TEST_F(Messages, PressOnTheWindowStartsTheSystemsMove) {
  ::SendMessageW(dialog.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 120));
  EXPECT_EQ(dialog.sysCommand, static_cast<WPARAM>(0xF012));
}

TEST_F(Messages, SpaceOnTheFocusedButtonClicksWithoutChangingItsLook) {
  HWND button = dialog.update.hwnd();
  ::SetFocus(button);
  const int frames = FramesDuring([&] {
    ::SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0);
    ::SendMessageW(button, WM_KEYUP, VK_SPACE, 0xC0000001);
  });
  EXPECT_EQ(frames, 0);
  EXPECT_EQ(dialog.update.state(), 0u);
  EXPECT_EQ(dialog.clicked, std::vector<WORD>{1003});
}

TEST_F(Messages, AddingAControlAgainKeepsOneEntry) {
  const size_t count = dialog.controls().size();
  dialog.AddControl(&dialog.update);
  dialog.AddControl(&dialog.message);
  EXPECT_EQ(dialog.controls().size(), count);
  EXPECT_EQ(dialog.controls().front(), &dialog.update);
}

TEST_F(Messages, ReleaseSkinEmptiesTheListAndComposeThenDoesNothing) {
  dialog.ReleaseSkin();
  EXPECT_TRUE(dialog.controls().empty());
  EXPECT_EQ(dialog.background(), nullptr);
  EXPECT_EQ(FramesDuring([&] { dialog.Compose(); }), 0);
}

// A popup without caption from its creation; layered from its first frame, which needs a
// background.
TEST(SkinDialog, APopupWithoutCaptionLayeredOnceItHasABackground) {
  TestDialog dialog;
  ASSERT_TRUE(dialog.Open([](TestDialog&) {}));
  const LONG style = ::GetWindowLongW(dialog.hwnd(), GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_NE(style & WS_POPUP, 0);
  dialog.Compose();
  EXPECT_EQ(dialog.frames, 0);
  EXPECT_EQ(::GetWindowLongW(dialog.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  dialog.SetBackground(kBackground, L"IMG", nullptr, 1.0);
  EXPECT_NE(::GetWindowLongW(dialog.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}

}  // namespace
