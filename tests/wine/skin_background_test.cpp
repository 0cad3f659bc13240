// The background sizes the window and centres it on the work area.
#include <gtest/gtest.h>

#include "tests/wine/skin_test_dialog.h"

namespace {

// Sets the work area for one test and puts the old one back.
class WorkArea {
 public:
  explicit WorkArea(RECT area) {
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &saved_, 0);
    ::SystemParametersInfoW(SPI_SETWORKAREA, 0, &area, 0);
  }
  WorkArea(const WorkArea&) = delete;
  WorkArea& operator=(const WorkArea&) = delete;
  ~WorkArea() { ::SystemParametersInfoW(SPI_SETWORKAREA, 0, &saved_, 0); }

 private:
  RECT saved_{};
};

TEST(SetBackground, SizesAndCentresTheWindow) {
  struct Row {
    const char* what;
    RECT area;
    UINT id;
    double scale;
    RECT expected;
  } rows[] = {
      {"half scale on a 1920 x 1040 work area", {0, 0, 1920, 1040}, 129, 0.5, {570, 210, 1350, 830}},
      {"work area not at the origin", {100, 50, 1100, 850}, 129, 0.5, {210, 140, 990, 760}},
      {"missing background: 0 x 0", {0, 0, 1920, 1040}, 4242, 1.0, {960, 520, 960, 520}},
  };
  for (const Row& row : rows) {
    WorkArea area(row.area);
    RECT check{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &check, 0);
    ASSERT_TRUE(EqualRect(&check, &row.area)) << "the system keeps the work area we set";
    TestDialog dialog;
    ASSERT_TRUE(dialog.Open([&row](TestDialog& d) { d.SetBackground(row.id, L"IMG", nullptr, row.scale); }));
    RECT r{};
    ::GetWindowRect(dialog.hwnd(), &r);
    EXPECT_TRUE(EqualRect(&r, &row.expected))
        << row.what << ": (" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
  }
}

// Later frames start from the background as first drawn; a new background replaces it, at
// its own size, and what controls drew never stays behind.
TEST(SetBackground, LaterFramesShowTheCurrentBackgroundBeneathTheControls) {
  TestDialog dialog;
  ASSERT_TRUE(dialog.Open([](TestDialog& d) {
    d.SetBackground(kOpaque, L"IMG", nullptr, 5.0);  // 200 x 100
    Place(d.picture, 0, 0, 40, 20);
    d.picture.SetImage(kBright, L"IMG", nullptr, 1.0);
    d.AddControl(&d.picture);
  }));
  dialog.Compose();
  EXPECT_EQ(Describe(dialog.Pixel(5, 5)), Describe(0xFFFAFA0A)) << "the control over the background";
  dialog.picture.ShowWindow(SW_HIDE);
  EXPECT_EQ(Describe(dialog.Pixel(5, 5)), Describe(0xFFC86432)) << "the background once the control is gone";
  dialog.SetBackground(kBright, L"IMG", nullptr, 5.0);  // the same size, another picture
  EXPECT_EQ(Describe(dialog.Pixel(100, 50)), Describe(0xFFFAFA0A)) << "the new background";
  const int frames = dialog.frames;
  dialog.SetBackground(kOpaque, L"IMG", nullptr, 2.5);
  EXPECT_EQ(dialog.frames, frames + 1) << "a new size composes once";
  EXPECT_EQ(Describe(dialog.Pixel(50, 25)), Describe(0xFFC86432));
  RECT r{};
  ::GetWindowRect(dialog.hwnd(), &r);
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(r.bottom - r.top, 50);
}

}  // namespace
