// Frames composed by the skinned dialog, checked pixel by pixel.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <iterator>

#include "tests/wine/skin_test_dialog.h"

namespace {

constexpr std::uint32_t kGrey40 = 0xFF282828;  // the background's opaque part
constexpr std::uint32_t kOpaqueColour = 0xFFC86432;
constexpr std::uint32_t kBrightColour = 0xFFFAFA0A;
constexpr int kTransparentX = 150;  // the background is transparent from here rightwards

// A premultiplied pixel within `tolerance` of the straight colour (a, r, g, b).
::testing::AssertionResult Near(std::uint32_t pixel, double a, double r, double g, double b, int tolerance = 3) {
  Argb p = Unpack(pixel);
  double expected[4] = {a, r * a / 255.0, g * a / 255.0, b * a / 255.0};
  int got[4] = {p.a, p.r, p.g, p.b};
  for (int i = 0; i < 4; ++i)
    if (std::abs(got[i] - expected[i]) > tolerance)
      return ::testing::AssertionFailure()
             << Describe(pixel) << " is not premultiplied argb(" << a << ", " << r << ", " << g << ", " << b << ")";
  return ::testing::AssertionSuccess();
}

class Compose : public ::testing::Test {
 protected:
  // The dialog at its background's size with `setup` run inside its layout.
  void Open(std::function<void(TestDialog&)> setup) {
    ASSERT_TRUE(dialog.Open([setup](TestDialog& d) {
      d.SetBackground(kBackground, L"IMG", nullptr, 1.0);
      setup(d);
    }));
    ASSERT_EQ(dialog.width, 200);
    ASSERT_EQ(dialog.height, 150);
  }
  // Pixels where `pick` holds, inside the rectangle.
  std::vector<bool> Mask(int x0, int y0, int w, int h, bool (*pick)(Argb)) const {
    std::vector<bool> mask;
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x) mask.push_back(pick(Unpack(dialog.Pixel(x, y))));
    return mask;
  }
  TestDialog dialog;
};

// Pixels fully covered by text of the brush's colour, whatever lies beneath.
bool IsBlueText(Argb p) { return p.a == 255 && p.r == 0 && p.g == 0 && p.b == 255; }
bool IsGreenText(Argb p) { return p.a == 255 && p.r == 0 && p.g == 255 && p.b == 0; }
int Count(const std::vector<bool>& mask) { return static_cast<int>(std::count(mask.begin(), mask.end(), true)); }

TEST_F(Compose, BackgroundThenControlsInOrderHiddenOnesLeftOut) {
  Open([](TestDialog& d) {
    Place(d.update, 10, 10, 40, 20);
    d.update.SetImages(kOpaque, 0, 0, 0, L"IMG", nullptr, 1.0);
    d.AddControl(&d.update);
    Place(d.picture, 30, 10, 40, 20);
    d.picture.SetImage(kBright, L"IMG", nullptr, 1.0);
    d.AddControl(&d.picture);
    Place(d.exit, 100, 60, 40, 20);
    d.exit.SetImages(kBright, 0, 0, 0, L"IMG", nullptr, 1.0);
    d.exit.ShowWindow(SW_HIDE);
    d.AddControl(&d.exit);
    Place(d.message, kTransparentX, 0, 50, 60);  // no image, no text
    d.AddControl(&d.message);
  });
  EXPECT_EQ(dialog.Pixel(0, 0), kGrey40);
  EXPECT_EQ(dialog.Pixel(199, 0), 0u) << "outside the shape, under an empty panel, is transparent";
  EXPECT_EQ(dialog.Pixel(15, 15), kOpaqueColour);
  EXPECT_EQ(dialog.Pixel(35, 15), kBrightColour) << "the later control lies over the earlier";
  EXPECT_EQ(dialog.Pixel(110, 70), kGrey40) << "a hidden control is not drawn";
}

TEST_F(Compose, DerivedLooksOfAButtonWithoutItsOwnImages) {
  struct Row {
    const char* look;
    UINT image;
    void (*enter)(SkinButton&);
    double a, r, g, b;
  } rows[] = {
      {"disabled: grey 0.3/0.59/0.11, alpha kept", kHalf, [](SkinButton& b) { ::EnableWindow(b.hwnd(), FALSE); }, 128,
       124.5, 124.5, 124.5},
      {"hover: 1.05 v + 0.05, alpha kept", kHalf, [](SkinButton& b) { ::SendMessageW(b.hwnd(), WM_MOUSEHOVER, 0, 0); },
       128, 222.75, 117.75, 65.25},
      {"hover: clamped at full", kBright, [](SkinButton& b) { ::SendMessageW(b.hwnd(), WM_MOUSEHOVER, 0, 0); }, 255,
       255, 255, 23.25},
      {"disabled over hover: grey wins", kBright,
       [](SkinButton& b) {
         ::SendMessageW(b.hwnd(), WM_MOUSEHOVER, 0, 0);
         ::EnableWindow(b.hwnd(), FALSE);
       },
       255, 223.6, 223.6, 223.6},
  };
  for (const Row& row : rows) {
    TestDialog d;
    ASSERT_TRUE(d.Open([&row](TestDialog& t) {
      t.SetBackground(kBackground, L"IMG", nullptr, 1.0);
      Place(t.update, kTransparentX + 5, 100, 40, 20);
      t.update.SetImages(row.image, 0, 0, 0, L"IMG", nullptr, 1.0);
      t.AddControl(&t.update);
    }));
    row.enter(d.update);
    EXPECT_TRUE(Near(d.Pixel(kTransparentX + 25, 110), row.a, row.r, row.g, row.b)) << row.look;
  }
}

TEST_F(Compose, OwnLookImagesAreDrawnInsteadOfDerivedOnes) {
  Open([](TestDialog& d) {
    Place(d.update, 10, 10, 40, 20);
    d.update.SetImages(kOpaque, kBright, kBright, kBright, L"IMG", nullptr, 1.0);
    d.AddControl(&d.update);
  });
  ::SendMessageW(dialog.update.hwnd(), WM_MOUSEHOVER, 0, 0);
  EXPECT_EQ(dialog.Pixel(10, 10), kBrightColour) << "hover image";
  ::SendMessageW(dialog.update.hwnd(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(dialog.Pixel(10, 10), kOpaqueColour) << "left: normal";
  ::SendMessageW(dialog.update.hwnd(), WM_MOUSEHOVER, 0, 0);
  ::SendMessageW(dialog.update.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(dialog.Pixel(10, 10), kBrightColour) << "pressed image, not shifted";
  ::SendMessageW(dialog.update.hwnd(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(dialog.Pixel(10, 10), kOpaqueColour) << "released: normal, hover cleared too";
  ::EnableWindow(dialog.update.hwnd(), FALSE);
  EXPECT_EQ(dialog.Pixel(10, 10), kBrightColour) << "disabled image";
}

// The pressed looks move the text one pixel right and down; the image moves only when the
// pointer also hovers. The disabled look keeps the normal text colour.
TEST_F(Compose, PressedLooksShiftTextAndImageDisabledKeepsTheTextColour) {
  Open([](TestDialog& d) {
    Place(d.update, 10, 10, 40, 20);  // the image's own size: no resampling at its edges
    d.update.SetImages(kOpaque, 0, 0, 0, L"IMG", nullptr, 1.0);
    d.update.SetFont(L"Arial", 18.0f, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    d.update.SetTextColor(0xFF0000FF);
    d.update.SetPressedTextColor(0xFF00FF00);
    ::SetWindowTextW(d.update.hwnd(), L"Wg");
    d.AddControl(&d.update);
  });
  const std::vector<bool> normal = Mask(10, 10, 39, 19, IsBlueText);
  ASSERT_GT(Count(normal), 10) << "the text is drawn";

  ::SendMessageW(dialog.update.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);  // before any hover report
  EXPECT_EQ(dialog.Pixel(10, 10), kOpaqueColour) << "pressed without hover: image not shifted";
  EXPECT_EQ(Mask(11, 11, 39, 19, IsGreenText), normal) << "pressed brush, text shifted (+1, +1)";
  EXPECT_EQ(Count(Mask(10, 10, 41, 21, IsBlueText)), 0);
  ::SendMessageW(dialog.update.hwnd(), WM_LBUTTONUP, 0, 0);

  ::SendMessageW(dialog.update.hwnd(), WM_MOUSEHOVER, 0, 0);
  ::SendMessageW(dialog.update.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(dialog.Pixel(10, 10), kGrey40) << "pressed while hovered: image shifted";
  EXPECT_EQ(dialog.Pixel(50, 30), kOpaqueColour);
  EXPECT_EQ(Mask(11, 11, 39, 19, IsGreenText), normal);
  ::SendMessageW(dialog.update.hwnd(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(dialog.Pixel(50, 30), kGrey40) << "released: normal look";
  EXPECT_EQ(Mask(10, 10, 39, 19, IsBlueText), normal);
  ::EnableWindow(dialog.update.hwnd(), FALSE);
  EXPECT_EQ(Mask(10, 10, 39, 19, IsBlueText), normal) << "disabled: the normal text colour";
}

// The focused button's ring: none until a key goes through the dialog manager (which asks
// the focused control for its dialog code), then two pixels around the button, following
// the focus, drawn over neither the button nor beyond the two pixels.
TEST_F(Compose, TheFocusRingShowsOnceAKeyIsUsedAndFollowsTheFocus) {
  Open([](TestDialog& d) {
    Place(d.update, 10, 10, 40, 20);
    d.update.SetImages(kOpaque, 0, 0, 0, L"IMG", nullptr, 1.0);
    d.AddControl(&d.update);
    Place(d.exit, 60, 60, 40, 20);
    d.exit.SetImages(kOpaque, 0, 0, 0, L"IMG", nullptr, 1.0);
    d.AddControl(&d.exit);
  });
  constexpr std::uint32_t kRing = 0xFF000000;
  ::SetFocus(dialog.update.hwnd());
  EXPECT_EQ(dialog.Pixel(9, 9), kGrey40) << "no cue before a key";
  MSG tab{dialog.update.hwnd(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
  ::SendMessageW(dialog.update.hwnd(), WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab));
  for (POINT p : {POINT{8, 8}, POINT{9, 9}, POINT{30, 8}, POINT{51, 31}, POINT{8, 20}, POINT{50, 20}})
    EXPECT_EQ(dialog.Pixel(p.x, p.y), kRing) << p.x << "," << p.y;
  EXPECT_EQ(dialog.Pixel(7, 7), kGrey40);
  EXPECT_EQ(dialog.Pixel(52, 32), kGrey40);
  EXPECT_EQ(dialog.Pixel(10, 10), kOpaqueColour);
  ::SetFocus(dialog.exit.hwnd());
  EXPECT_EQ(dialog.Pixel(9, 9), kGrey40) << "the ring leaves with the focus";
  EXPECT_EQ(dialog.Pixel(58, 58), kRing) << "and comes with it";
}

// High contrast turned on while the window is open: the same places drawn in the scheme's
// colours alone, without the artwork (text edges blend the two colours they lie between).
TEST_F(Compose, HighContrastDrawsTheLayoutInTheSchemesColoursAlone) {
  Open([](TestDialog& d) {
    Place(d.update, 10, 10, 60, 30);
    d.update.SetImages(kOpaque, 0, 0, 0, L"IMG", nullptr, 1.0);
    d.update.SetFont(L"Arial", 14.0f, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    ::SetWindowTextW(d.update.hwnd(), L"Go");
    d.AddControl(&d.update);
    Place(d.picture, 80, 60, 40, 20);
    d.picture.SetImage(kBright, L"IMG", nullptr, 1.0);
    d.picture.SetAccessible(ROLE_SYSTEM_GRAPHIC, L"");
    d.AddControl(&d.picture);
  });
  ASSERT_EQ(dialog.Pixel(85, 65), kBrightColour);
  SystemScheme scheme;
  scheme.on = true;
  scheme.window = 0xFF000000;
  scheme.windowText = 0xFFFFFF00;
  scheme.buttonFace = 0xFF000080;
  scheme.buttonText = 0xFF00FF00;
  scheme.highlight = 0xFF00FFFF;
  scheme.grayText = 0xFF808080;
  dialog.scheme = scheme;
  ::SendMessageW(dialog.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(dialog.Pixel(5, 5), scheme.window) << "the background";
  EXPECT_EQ(dialog.Pixel(kTransparentX + 10, 5), 0u) << "outside the artwork's shape";
  EXPECT_EQ(dialog.Pixel(85, 65), scheme.window) << "a decorative picture is left out";
  EXPECT_EQ(dialog.Pixel(10, 10), scheme.buttonText) << "the button's border";
  EXPECT_EQ(dialog.Pixel(13, 13), scheme.buttonFace) << "the button's face";
  // Every pixel but those inside the button's border, where the text lies.
  const std::uint32_t colours[] = {scheme.window, scheme.buttonFace, scheme.buttonText, 0u};
  int off = 0;
  for (int y = 0; y < dialog.height; ++y)
    for (int x = 0; x < dialog.width; ++x) {
      const bool text = x >= 12 && x < 68 && y >= 12 && y < 38;
      if (!text && std::find(std::begin(colours), std::end(colours), dialog.Pixel(x, y)) == std::end(colours)) ++off;
    }
  EXPECT_EQ(off, 0);
  ::SendMessageW(dialog.hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  ::SetFocus(dialog.update.hwnd());
  EXPECT_EQ(dialog.Pixel(8, 8), scheme.highlight) << "the focus ring";
  dialog.scheme.reset();
  ::SendMessageW(dialog.hwnd(), WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(dialog.Pixel(85, 65), kBrightColour) << "the artwork back once high contrast is off";
}

TEST_F(Compose, TextOverImageAndTextWithItsOwnAlpha) {
  Open([](TestDialog& d) {
    Place(d.picture, 10, 10, 100, 40);
    d.picture.SetImage(kOpaque, L"IMG", nullptr, 1.0);
    d.picture.SetFont(L"Arial", 24.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    d.picture.SetTextColor(0xFF0000FF);
    ::SetWindowTextW(d.picture.hwnd(), L"Hello");
    d.AddControl(&d.picture);
    Place(d.message, kTransparentX, 0, 50, 60);
    d.message.SetFont(L"Arial", 24.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    d.message.SetTextColor(0xFF0000FF);
    d.message.SetAlignment(Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentNear);
    ::SetWindowTextW(d.message.hwnd(), L"MM");
    d.AddControl(&d.message);
  });
  EXPECT_EQ(dialog.Pixel(10, 10), kOpaqueColour) << "the image fills the panel";
  EXPECT_GT(Count(Mask(10, 10, 100, 40, IsBlueText)), 30) << "the text lies over the image";

  // Over the transparent part the text brings its own coverage as alpha, premultiplied.
  int solid = 0, partial = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = kTransparentX; x < 200; ++x) {
      Argb p = Unpack(dialog.Pixel(x, y));
      EXPECT_LE(p.b, p.a) << "premultiplied at " << x << "," << y;
      EXPECT_LE(p.r, 2) << "no colour but the brush's at " << x << "," << y;
      if (p.a == 255 && p.b == 255) ++solid;
      if (p.a > 0 && p.a < 255) ++partial;
    }
  EXPECT_GT(solid, 10) << "text drawn over transparency";
  EXPECT_GT(partial, 5) << "anti-aliased edges";
  EXPECT_EQ(dialog.Pixel(199, 59), 0u) << "no box around the text";
}

TEST(CreateSkinFont, EveryFamilyTheWindowAsksForGivesAFont) {
  const wchar_t* families[] = {L"Arial",
                               L"Segoe WP",
                               L"Segoe WP N Semibold",
                               L"MS P Gothic",
                               L"\u5FAE\u8EDF\u6B63\u9ED1\u9AD4",
                               L"No Such Family Anywhere"};
  for (const wchar_t* family : families) {
    auto font = CreateSkinFont(family, 16.0f, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    ASSERT_NE(font, nullptr) << static_cast<int>(family[0]);
    EXPECT_EQ(font->GetLastStatus(), Gdiplus::Ok);
    EXPECT_FLOAT_EQ(font->GetSize(), 16.0f);
  }
}

TEST_F(Compose, APictureThatFailsToLoadRemovesThePreviousOne) {
  Open([](TestDialog& d) {
    Place(d.picture, 10, 10, 40, 20);
    d.picture.SetImage(kBright, L"IMG", nullptr, 1.0);
    d.AddControl(&d.picture);
  });
  ASSERT_EQ(dialog.Pixel(20, 15), kBrightColour);
  dialog.picture.SetImage(kBroken, L"IMG", nullptr, 1.0);
  dialog.Compose();
  EXPECT_EQ(dialog.Pixel(20, 15), kGrey40);
}

}  // namespace
