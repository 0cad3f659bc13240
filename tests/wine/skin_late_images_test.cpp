// The busy indicator's kept frames and the pictures decoded after the window is shown.
#include <gtest/gtest.h>

#include <map>

#include "skin/win32/spinner_frames_win32.h"
#include "tests/wine/skin_test_dialog.h"

namespace {

constexpr UINT kFirstFrame = 141, kLastFrame = 148;

// The frame's pixels inside `control`'s rectangle, top row first.
std::vector<std::uint32_t> PixelsOf(const TestDialog& d, const Window& control) {
  RECT r{};
  ::GetWindowRect(control.hwnd(), &r);
  ::MapWindowPoints(HWND_DESKTOP, d.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  std::vector<std::uint32_t> out;
  for (LONG y = r.top; y < r.bottom; ++y)
    for (LONG x = r.left; x < r.right; ++x) out.push_back(d.Pixel(x, y));
  return out;
}

// How many pixels two equal-sized pictures differ in; -1 when their sizes differ.
long Differing(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  if (a.size() != b.size()) return -1;
  long count = 0;
  for (std::size_t i = 0; i < a.size(); ++i) count += a[i] != b[i] ? 1 : 0;
  return count;
}

void PlaceScaled(const Window& c, double scale, int x, int y, int w, int h) {
  Place(c, static_cast<int>(x * scale), static_cast<int>(y * scale), static_cast<int>(w * scale),
        static_cast<int>(h * scale));
}

// Sixteen ticks at each scale, through one set of kept frames: each composed frame shows
// what decoding that frame for the panel shows, each differs from the one before, and
// every frame is decoded once per scale.
TEST(LateImages, TheSpinnerCyclesThroughItsEightKeptFramesInOrderAtBothScales) {
  TestDialog dialog;
  ASSERT_TRUE(dialog.Open([](TestDialog& d) { d.AddControl(&d.picture); }));
  SpinnerFrames frames(kFirstFrame, kLastFrame, L"IMG", nullptr);
  for (double scale : {1.0, 0.5}) {
    dialog.SetBackground(129, L"IMG", nullptr, scale);
    PlaceScaled(dialog.picture, scale, 712, 658, 132, 132);
    dialog.picture.ShowWindow(SW_SHOW);
    std::map<UINT, const SkinImage*> decoded;
    std::vector<std::uint32_t> previous;
    for (int tick = 0; tick < 16; ++tick) {
      const UINT id = kFirstFrame + static_cast<UINT>(tick % 8);
      std::shared_ptr<const SkinImage> frame = frames.Frame(id, scale);
      ASSERT_TRUE(frame && frame->Get()) << id;
      EXPECT_EQ(frame->Width(), static_cast<int>(132 * scale)) << id << " at scale " << scale;
      if (tick < 8) decoded[id] = frame.get();
      else EXPECT_EQ(frame.get(), decoded[id]) << "frame " << id << " decoded again at scale " << scale;
      dialog.picture.SetSharedImage(std::move(frame));
      dialog.Compose();
      const std::vector<std::uint32_t> ticked = PixelsOf(dialog, dialog.picture);
      dialog.picture.SetImage(id, L"IMG", nullptr, scale);
      dialog.Compose();
      ASSERT_EQ(Differing(ticked, PixelsOf(dialog, dialog.picture)), 0) << "tick " << tick << " at scale " << scale;
      EXPECT_NE(Differing(ticked, previous), 0) << "tick " << tick << " shows the frame before it";
      previous = ticked;
    }
    EXPECT_EQ(frames.kept(), 8u);
  }
}

// The window's bottom row as the tool lays it out: Update shown, and Exit (its images)
// and the caution icon starting hidden. `late` defers the hidden ones' pictures.
void LayOutBottom(TestDialog& d, DeferredImages* late, double scale) {
  d.deferred = late;
  d.SetBackground(129, L"IMG", nullptr, scale);
  PlaceScaled(d.update, scale, 1136, 1109, 368, 76);
  d.update.SetImages(137, 140, 139, 138, L"IMG", nullptr, scale);
  PlaceScaled(d.exit, scale, 1136, 1109, 368, 76);
  d.exit.ShowWindow(SW_HIDE);
  PlaceScaled(d.picture, scale, 70, 1120, 48, 43);
  d.picture.ShowWindow(SW_HIDE);
  const auto exitImages = [&d, scale] { d.exit.SetImages(137, 140, 139, 138, L"IMG", nullptr, scale); };
  const auto cautionIcon = [&d, scale] { d.picture.SetImage(136, L"IMG", nullptr, scale); };
  if (late) {
    late->Add(&d.exit, exitImages);
    late->Add(&d.picture, cautionIcon);
  } else {
    exitImages();
    cautionIcon();
  }
  d.Compose();
}

// Shown before their loads ran (the first thing after the window's first frame, as an
// update on battery shows the caution icon, or one that starts shows a disabled Exit),
// the late pictures are drawn as if they had been decoded with the rest.
TEST(LateImages, APictureShownBeforeItsDeferredLoadRanIsDrawnAllTheSame) {
  const auto reachState = [](TestDialog& d) {
    d.update.ShowWindow(SW_HIDE);
    ::EnableWindow(d.exit.hwnd(), FALSE);
    d.exit.ShowWindow(SW_SHOW);
    d.picture.ShowWindow(SW_SHOW);
  };
  const auto opened = [](TestDialog& d) {
    for (SkinControl* c : std::initializer_list<SkinControl*>{&d.picture, &d.update, &d.exit}) d.AddControl(c);
  };
  for (double scale : {1.0, 0.5}) {
    TestDialog eager, deferred;
    DeferredImages late;
    ASSERT_TRUE(eager.Open(opened));
    ASSERT_TRUE(deferred.Open(opened));
    LayOutBottom(eager, nullptr, scale);
    LayOutBottom(deferred, &late, scale);
    ASSERT_FALSE(late.empty());
    reachState(eager);
    reachState(deferred);
    EXPECT_TRUE(late.empty()) << "drawing the shown controls ran their loads";
    EXPECT_EQ(Differing(PixelsOf(deferred, deferred.exit), PixelsOf(eager, eager.exit)), 0)
        << "Exit at scale " << scale;
    EXPECT_EQ(Differing(PixelsOf(deferred, deferred.picture), PixelsOf(eager, eager.picture)), 0)
        << "caution icon at scale " << scale;
    EXPECT_EQ(Differing(deferred.pixels, eager.pixels), 0) << "whole frame at scale " << scale;
  }
}

// Left alone, the window runs its late loads by itself once its queue is idle.
TEST(LateImages, LoadsLeftAloneRunWhenTheWindowIsIdle) {
  TestDialog dialog;
  ASSERT_TRUE(dialog.Open([](TestDialog& d) { d.AddControl(&d.picture); }));
  DeferredImages late;
  int ran = 0;
  for (int i = 0; i < 3; ++i) late.Add(nullptr, [&ran] { ++ran; });
  late.StartWhenIdle(dialog.hwnd());
  EXPECT_EQ(ran, 0) << "nothing runs before the window's messages are handled";
  const DWORD deadline = ::GetTickCount() + 5000;
  while (!late.empty() && ::GetTickCount() < deadline) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  }
  EXPECT_EQ(ran, 3);
}

}  // namespace
