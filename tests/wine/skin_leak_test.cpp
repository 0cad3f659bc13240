// A thousand compositions leave no GDI objects behind.
#include <gtest/gtest.h>

#include <cstdint>

#include <windows.h>
#include <psapi.h>

#include "tests/wine/skin_test_dialog.h"

namespace {

// The number of GDI objects the process holds. Wine answers 0 to GetGuiResources; there,
// the live objects are counted by asking the type of every handle-table index, which Wine
// accepts as a handle without its upper word.
long CountGdiObjects() {
  if (DWORD count = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(count);
  long live = 0;
  for (std::uintptr_t index = 1; index <= 0xFFFF; ++index)
    live += ::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
  return live;
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
  const long before = CountGdiObjects();
  ASSERT_GT(before, 0) << "objects are counted";
  const int frames = dialog.frames;
  for (int i = 0; i < 1000; ++i) {
    // Every look of the button in turn, so every drawing path runs.
    ::SendMessageW(dialog.update.hwnd(), i % 2 ? WM_MOUSELEAVE : WM_MOUSEHOVER, 0, 0);
    if (i % 7 == 0) ::EnableWindow(dialog.update.hwnd(), i % 14 == 0 ? FALSE : TRUE);
  }
  for (int i = 0; i < 200; ++i) dialog.Compose();
  EXPECT_GE(dialog.frames - frames, 1200);
  EXPECT_LE(CountGdiObjects() - before, 4);
  // GDI+ still draws after all that: the last frame shows the button.
  EXPECT_EQ(dialog.Pixel(12, 12) >> 24, 0xFFu);
  EXPECT_NE(dialog.Pixel(12, 12), 0xFF282828u);
}

// Bytes the process has committed (Wine reports no private usage, but this).
SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage;
}

// Each load holds a memory stream over a copy of the PNG (1.8 kB for the button) and a
// decoded image (109 kB); a thousand pairs of loads that kept either would grow the process
// by megabytes.
TEST(LoadSkinImageMany, AThousandLoadsGiveEverythingBack) {
  for (int i = 0; i < 50; ++i) LoadSkinImage(137, L"IMG", nullptr, i % 2 ? 1.0 : 0.5);
  const SIZE_T before = PrivateBytes();
  ASSERT_GT(before, 0u);
  for (int i = 0; i < 1000; ++i) {
    auto design = LoadSkinImage(137, L"IMG", nullptr, 1.0);
    auto half = LoadSkinImage(137, L"IMG", nullptr, 0.5);
    ASSERT_EQ(design->Width() + half->Width(), 368 + 184) << i;
  }
  EXPECT_LT(PrivateBytes() - before, 1024u * 1024u);
}

}  // namespace
