// What the display shows of the skinned window after each change, drawn and handed over
// only where it changed, is what a whole-frame composition of the same state shows, pixel
// for pixel, at both scales. The display is read back from the X server.
#include <gtest/gtest.h>

#include <functional>

#include "platform/win32/gdi_owners.h"
#include "tests/wine/skin_test_dialog.h"

namespace {

// The colours the display shows in `area` (screen coordinates), top row first.
std::vector<std::uint32_t> ReadScreen(const RECT& area) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  WindowDc screen(nullptr);
  UniqueMemoryDc memory(::CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  UniqueGdiObject bitmap(::CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !bitmap || !bits) return {};
  {
    Selection selected(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY);
  }
  ::GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  std::vector<std::uint32_t> colours(pixels, pixels + static_cast<size_t>(width) * height);
  for (std::uint32_t& c : colours) c &= 0xFFFFFF;
  return colours;
}

// The window's controls at their places in the tool's layout, with its pictures, at `scale`.
void LayOut(TestDialog& d, double scale) {
  auto place = [scale](const Window& c, int x, int y, int w, int h) {
    Place(c, static_cast<int>(x * scale), static_cast<int>(y * scale), static_cast<int>(w * scale),
          static_cast<int>(h * scale));
  };
  d.SetBackground(129, L"IMG", nullptr, scale);
  // Taller than the screen at full scale: its bottom, where the buttons are, stays on it.
  RECT r{};
  ::GetWindowRect(d.hwnd(), &r);
  ::SetWindowPos(d.hwnd(), nullptr, 0, std::min(0L, ::GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const float em = static_cast<float>(32 * scale);
  for (SkinButton* b : {&d.update, &d.exit}) {
    place(*b, 1136, 1109, 368, 76);
    b->SetImages(137, 140, 139, 138, L"IMG", nullptr, scale);
    b->SetFont(L"Arial", em, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    b->SetTextColor(0xFFFFFFFF);
    ::EnableWindow(b->hwnd(), TRUE);
  }
  ::SetWindowTextW(d.update.hwnd(), L"Update");
  ::SetWindowTextW(d.exit.hwnd(), L"Exit");
  d.update.ShowWindow(SW_SHOW);
  d.exit.ShowWindow(SW_HIDE);
  place(d.message, 100, 297, 1400, 180);
  d.message.SetFont(L"Arial", em, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  d.message.SetTextColor(0xFF020202);
  d.message.SetAlignment(Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentNear);
  ::SetWindowTextW(d.message.hwnd(), L"Connect the charger, then press Update.");
  place(d.picture, 712, 658, 132, 132);
  d.picture.SetImage(141, L"IMG", nullptr, scale);
  d.picture.ShowWindow(SW_SHOW);
  d.Compose();
}

TEST(Present, EachChangeHandedOverAloneShowsWhatTheWholeFrameShows) {
  TestDialog dialog;
  ASSERT_TRUE(dialog.Open([](TestDialog& d) {
    for (SkinControl* c : std::initializer_list<SkinControl*>{&d.picture, &d.message, &d.update, &d.exit})
      d.AddControl(c);
  }));
  ::ShowWindow(dialog.hwnd(), SW_SHOWNA);
  HWND update = dialog.update.hwnd();
  struct Step {
    const char* change;
    std::function<void(TestDialog&, double)> apply;
  } steps[] = {
      {"spinner frame",
       [](TestDialog& d, double s) {
         d.picture.SetImage(142, L"IMG", nullptr, s);
         d.Compose();
       }},
      {"hover", [&](TestDialog&, double) { ::SendMessageW(update, WM_MOUSEHOVER, 0, 0); }},
      {"press", [&](TestDialog&, double) { ::SendMessageW(update, WM_LBUTTONDOWN, MK_LBUTTON, 0); }},
      {"release", [&](TestDialog&, double) { ::SendMessageW(update, WM_LBUTTONUP, 0, 0); }},
      {"focus cue on Update",
       [&](TestDialog& d, double) {
         ::SendMessageW(d.hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
         ::SetFocus(update);
         ::SendMessageW(d.hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
       }},
      {"longer message",
       [](TestDialog& d, double) {
         ::SetWindowTextW(d.message.hwnd(),
                          L"The firmware is being updated. Do not turn the computer off or "
                          L"unplug the charger until the update has finished.");
       }},
      {"shorter message", [](TestDialog& d, double) { ::SetWindowTextW(d.message.hwnd(), L"Done."); }},
      {"Exit, disabled, in Update's place",
       [](TestDialog& d, double) {
         d.update.ShowWindow(SW_HIDE);
         ::EnableWindow(d.exit.hwnd(), FALSE);
         d.exit.ShowWindow(SW_SHOW);
       }},
      {"spinner moved over the message",
       [](TestDialog& d, double s) {
         Place(d.picture, static_cast<int>(160 * s), static_cast<int>(360 * s), static_cast<int>(132 * s),
               static_cast<int>(132 * s));
       }},
      {"spinner hidden", [](TestDialog& d, double) { d.picture.ShowWindow(SW_HIDE); }},
      {"Exit enabled", [](TestDialog& d, double) { ::EnableWindow(d.exit.hwnd(), TRUE); }},
      {"focus on Exit", [](TestDialog& d, double) { ::SetFocus(d.exit.hwnd()); }},
  };
  for (double scale : {1.0, 0.5}) {
    LayOut(dialog, scale);
    RECT window{}, shown{}, screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::GetWindowRect(dialog.hwnd(), &window);
    ::IntersectRect(&shown, &window, &screen);  // the part of the window on the screen
    for (const Step& step : steps) {
      step.apply(dialog, scale);
      const RECT drawn = dialog.drawn;
      const std::vector<std::uint32_t> changed = ReadScreen(shown);
      dialog.Compose();  // nothing marked: the whole frame
      ASSERT_EQ(dialog.drawn.right - dialog.drawn.left, dialog.width) << step.change;
      const std::vector<std::uint32_t> whole = ReadScreen(shown);
      ASSERT_FALSE(whole.empty());
      const int width = shown.right - shown.left;
      int opaque = 0;
      for (int y = shown.top; y < shown.bottom; ++y)
        for (int x = shown.left; x < shown.right; ++x) {
          const size_t i = static_cast<size_t>(y - shown.top) * width + (x - shown.left);
          ASSERT_EQ(changed[i], whole[i]) << step.change << " at scale " << scale << ", pixel " << x << "," << y;
          // Where the frame is opaque the display shows its colour: the read-back sees the window.
          const std::uint32_t framed = dialog.Pixel(x - window.left, y - window.top);
          if (framed >> 24 == 0xFF) {
            ASSERT_EQ(whole[i], framed & 0xFFFFFF) << step.change << ", pixel " << x << "," << y;
            ++opaque;
          }
        }
      EXPECT_GT(opaque, width * (shown.bottom - shown.top) / 2) << step.change;
      // Each change drew and handed over only a part of the frame.
      EXPECT_LT((drawn.right - drawn.left) * (drawn.bottom - drawn.top), dialog.width * dialog.height / 2)
          << step.change << " at scale " << scale;
    }
  }
}

// Opening lays the window out and then composes once: the first frame, the one the window
// is shown with, already holds every change the layout made.
TEST(Present, OpeningComposesOnceAfterTheWholeLayout) {
  TestDialog dialog;
  ASSERT_TRUE(dialog.Open([](TestDialog& d) {
    d.SetBackground(kBackground, L"IMG", nullptr, 1.0);
    Place(d.picture, 10, 10, 40, 20);
    d.picture.SetImage(kBright, L"IMG", nullptr, 1.0);
    d.AddControl(&d.picture);
    d.AddControl(&d.message);
    ::SetWindowTextW(d.message.hwnd(), L"Laid out");
    Place(d.picture, 60, 10, 40, 20);
  }));
  EXPECT_EQ(dialog.frames, 1);
  EXPECT_EQ(dialog.messageTextAtFrame, L"Laid out");
  EXPECT_EQ(dialog.Pixel(70, 15), 0xFFFAFA0Au) << "the picture at its last place";
  EXPECT_EQ(dialog.Pixel(20, 15), 0xFF282828u);
}

// A panel's text is rendered once and drawn again from what was rendered; after a change of
// its text, font, alignment, colour or size the panel looks as one set up that way does.
TEST(Present, PanelTextFollowsEachChangeOfWhatItIsRenderedFrom) {
  struct Look {
    const wchar_t* text = L"Wg Wg Wg";
    float em = 20.0f;
    Gdiplus::StringAlignment alignment = Gdiplus::StringAlignmentNear;
    Gdiplus::ARGB colour = 0xFF0000FF;
    int width = 120;
  };
  auto setUp = [](TestDialog& d, const Look& look) {
    d.SetBackground(kBackground, L"IMG", nullptr, 1.0);
    Place(d.message, 10, 10, look.width, 60);
    d.message.SetFont(L"Arial", look.em, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    d.message.SetAlignment(look.alignment, Gdiplus::StringAlignmentNear);
    d.message.SetTextColor(look.colour);
    ::SetWindowTextW(d.message.hwnd(), look.text);
    d.AddControl(&d.message);
  };
  struct Row {
    const char* change;
    void (*look)(Look&);
    void (*apply)(SkinLabel&);
  } rows[] = {
      {"text", [](Look& l) { l.text = L"gW gW"; }, [](SkinLabel& m) { ::SetWindowTextW(m.hwnd(), L"gW gW"); }},
      {"font", [](Look& l) { l.em = 26.0f; },
       [](SkinLabel& m) { m.SetFont(L"Arial", 26.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel); }},
      {"alignment", [](Look& l) { l.alignment = Gdiplus::StringAlignmentFar; },
       [](SkinLabel& m) { m.SetAlignment(Gdiplus::StringAlignmentFar, Gdiplus::StringAlignmentNear); }},
      {"colour", [](Look& l) { l.colour = 0xFF00A000; }, [](SkinLabel& m) { m.SetTextColor(0xFF00A000); }},
      {"size", [](Look& l) { l.width = 60; }, [](SkinLabel& m) { Place(m, 10, 10, 60, 60); }},
  };
  for (const Row& row : rows) {
    TestDialog changed, fresh;
    ASSERT_TRUE(changed.Open([&](TestDialog& d) { setUp(d, Look{}); }));
    row.apply(changed.message);
    changed.Compose();
    Look look;
    row.look(look);
    ASSERT_TRUE(fresh.Open([&](TestDialog& d) { setUp(d, look); }));
    EXPECT_EQ(changed.pixels, fresh.pixels) << row.change;
  }
}

}  // namespace
