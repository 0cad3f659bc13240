#include "app/window_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(WindowLayout, FullScaleOnlyAboveTheThreshold) {
  struct Case {
    int width, height;
    LayoutSize size;
  };
  constexpr LayoutSize kHalf = LayoutSize::kHalf, kFull = LayoutSize::kFull;
  for (Case c : {Case{1920, 1080, kHalf}, Case{1921, 1080, kFull}, Case{1920, 1081, kFull}, Case{1280, 720, kHalf},
                 Case{2560, 1440, kFull}, Case{800, 1200, kFull}}) {
    const LayoutMode m = ChooseLayoutMode(c.width, c.height);
    EXPECT_EQ(m.size, c.size) << c.width << "x" << c.height;
    EXPECT_EQ(m.scale, c.size == kFull ? 1.0 : 0.5);
  }
}

TEST(WindowLayout, FontSizeFollowsTheScreensDpi) {
  struct Case {
    double scale;
    int dpi;
    float em;
  };
  for (Case c : {Case{1.0, 96, 32.0f}, Case{0.5, 96, 16.0f}, Case{1.0, 144, 32.0f}, Case{0.5, 120, 16.0f},
                 Case{1.0, 0, 32.0f}}) {
    EXPECT_FLOAT_EQ(FontEmSize(c.scale, c.dpi), c.em) << c.scale << " " << c.dpi;
  }
  // Where MulDiv rounds, the size differs slightly from 32 × scale: 24 × 97 / 72 = 32.33 → 32.
  EXPECT_FLOAT_EQ(FontEmSize(1.0, 97), 32.0f * 96.0f / 97.0f);
}

TEST(WindowLayout, MulDivRoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDiv32(3, 1, 2), 2);
  EXPECT_EQ(MulDiv32(-3, 1, 2), -2);
  EXPECT_EQ(MulDiv32(5, 1, 4), 1);
  EXPECT_EQ(MulDiv32(1, 1, 0), -1);
}

TEST(WindowLayout, FacesHoldTheScriptOfTheTexts) {
  struct Case {
    std::uint16_t ui, text;
    std::u16string panel;
    int buttonStyle;
  };
  const Case cases[] = {
      {0x0409, 0x0409, u"Segoe WP", 0},
      {0x0409, 0x0419, u"Segoe WP", 0},       // holds Cyrillic
      {0x0409, 0x041F, u"Segoe WP", 0},       // and Turkish and Polish Latin
      {0x0409, 0x0412, u"Malgun Gothic", 1},  // no Hangul in the system's face
      {0x0409, 0x0012, u"Malgun Gothic", 1},
      {0x0409, 0x3C01, u"Segoe UI", 1},
      {0x0409, 0x040D, u"Segoe UI", 1},
      {0x0409, 0x0011, u"MS P Gothic", 1},
      {0x0409, 0x1004, u"微軟正黑體", 1},
      {0x0409, 0x0408, u"Segoe WP", 0},       // Greek texts are not shipped: English is shown
      {0x0412, 0x0409, u"Malgun Gothic", 1},  // the system's face while it holds the script
      {0x0412, 0x0419, u"Segoe WP", 0},
      {0x0412, 0x041E, u"Malgun Gothic", 1},
      {0x0C04, 0x0409, u"微軟正黑體", 1},
      {0x0804, 0x0411, u"MS P Gothic", 1},  // kana and Japanese forms
      {0x0411, 0x0804, u"微軟正黑體", 1},   // Simplified characters
      {0x0411, 0x0419, u"MS P Gothic", 1},
      {0x0401, 0x040D, u"Segoe UI", 1},
      {0x040D, 0x0419, u"Segoe UI", 1},
      {0x0401, 0x0412, u"Malgun Gothic", 1},
      {0x0011, 0x0409, u"Segoe WP", 0},  // the system's own row needs the exact Japanese id
  };
  for (const Case& c : cases) {
    const FontFaces faces = ChooseTextFaces(c.ui, c.text);
    EXPECT_EQ(std::u16string(faces.panelFace), c.panel) << std::hex << c.ui << " " << c.text;
    EXPECT_EQ(faces.buttonStyle, c.buttonStyle) << std::hex << c.ui << " " << c.text;
  }
}

TEST(WindowLayout, ArabicAndHebrewReadRightToLeft) {
  const std::uint16_t rightToLeft[] = {0x0401, 0x0001, 0x3801, 0x040D, 0x000D};
  const std::uint16_t leftToRight[] = {0x0409, 0x0411, 0x0412, 0x0419, 0x0420, 0x0429, 0x0000};
  for (std::uint16_t language : rightToLeft) EXPECT_TRUE(ReadsRightToLeft(language)) << std::hex << language;
  for (std::uint16_t language : leftToRight) {
    EXPECT_FALSE(ReadsRightToLeft(language)) << std::hex << language;
  }
}

}  // namespace

// Tab visits the buttons as the window reads: Close at the top, then the bottom row from
// left to right; Update and Exit share a place.
TEST(WindowLayout, TabFollowsTheReadingOrder) {
  const std::vector<int> expected = {kIdClose, kIdShutdownNow, kIdShutdownLater, kIdUpdate, kIdExit};
  EXPECT_EQ(ButtonsInReadingOrder(), expected);
}
