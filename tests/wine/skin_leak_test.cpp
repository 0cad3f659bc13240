// A thousand compositions leave no GDI objects behind.
#include <gtest/gtest.h>

#include "tests/wine/skin_test_dialog.h"

namespace {

// The number of GDI objects the process holds. Wine does not count them for
// GetGuiResources, so there a fresh object's handle index stands in: freed handles are
// reused, leaked ones push new handles further up the table.
struct GdiGauge {
  bool counted;
  long value;
};

GdiGauge MeasureGdi() {
  DWORD count = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  if (count != 0) return {true, static_cast<long>(count)};
  HGDIOBJ probe = ::CreateSolidBrush(RGB(1, 2, 3));
  long index = static_cast<long>(reinterpret_cast<std::uintptr_t>(probe) & 0xFFFF);
  ::DeleteObject(probe);
  return {false, index};
}

TEST(ComposeMany, AThousandFramesLeakNoGdiObjects) {
  TestDialog dialog;
  ASSERT_TRUE(dialog.Open([](TestDialog& d) {
    d.SetBackground(kBackground, L"IMG", nullptr, 1.0);
    Place(d.update, 10, 10, 60, 30);
    d.update.SetImages(kOpaque, 0, 0, 0, L"IMG", nullptr, 1.0);
    d.update.SetFont(L"Arial", 16.0f, 0, Gdiplus::UnitPixel);
    ::SetWindowTextW(d.update.hwnd(), L"Update");
    d.AddControl(&d.update);
    Place(d.message, 10, 60, 120, 40);
    d.message.SetImage(kHalf, L"IMG", nullptr, 0.5);
    ::SetWindowTextW(d.message.hwnd(), L"Message");
    d.AddControl(&d.message);
  }));
  for (int i = 0; i < 20; ++i) dialog.Compose();  // let caches settle
  const GdiGauge before = MeasureGdi();
  const int frames = dialog.frames;
  for (int i = 0; i < 1000; ++i) {
    // Every look of the button in turn, so every drawing path runs.
    ::SendMessageW(dialog.update.hwnd(), i % 2 ? WM_MOUSELEAVE : WM_MOUSEHOVER, 0, 0);
    if (i % 7 == 0) ::EnableWindow(dialog.update.hwnd(), i % 14 == 0 ? FALSE : TRUE);
  }
  for (int i = 0; i < 200; ++i) dialog.Compose();
  EXPECT_GE(dialog.frames - frames, 1200);
  const GdiGauge after = MeasureGdi();
  ASSERT_EQ(after.counted, before.counted);
  EXPECT_LE(after.value - before.value, 16) << (before.counted ? "objects" : "handle index");
  // GDI+ still draws after all that: the last frame shows the button.
  EXPECT_EQ(dialog.Pixel(12, 12) >> 24, 0xFFu);
  EXPECT_NE(dialog.Pixel(12, 12), 0xFF282828u);
}

}  // namespace
