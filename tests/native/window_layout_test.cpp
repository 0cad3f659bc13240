#include "app/window_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(WindowLayout, FullScaleOnlyAboveTheThreshold) {
  struct Case {
    int width, height;
    std::int32_t mode;
  };
  for (Case c : {Case{1920, 1080, 0}, Case{1921, 1080, 1}, Case{1920, 1081, 1}, Case{1280, 720, 0},
                 Case{2560, 1440, 1}, Case{800, 1200, 1}}) {
    const LayoutMode m = ChooseLayoutMode(c.width, c.height);
    EXPECT_EQ(m.mode, c.mode) << c.width << "x" << c.height;
    EXPECT_EQ(m.scale, c.mode == 1 ? 1.0 : 0.5);
  }
}

TEST(WindowLayout, FontSizeFollowsTheScreensDpi) {
  struct Case {
    double scale;
    int dpi;
    float em;
  };
  for (Case c : {Case{1.0, 96, 32.0f}, Case{0.5, 96, 16.0f}, Case{1.0, 120, 32.0f}, Case{1.0, 144, 32.0f},
                 Case{0.5, 120, 16.0f}, Case{1.0, 0, 32.0f}}) {
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

TEST(WindowLayout, FontFacesByTheSystemsLanguage) {
  struct Case {
    std::uint16_t language;
    std::u16string button, panel;
    int buttonStyle;
  };
  const Case cases[] = {
      {0x0404, u"微軟正黑體", u"微軟正黑體", 1}, {0x0804, u"微軟正黑體", u"微軟正黑體", 1},
      {0x0C04, u"微軟正黑體", u"微軟正黑體", 1}, {0x0411, u"MS P Gothic", u"MS P Gothic", 1},
      {0x0409, u"Segoe WP N Semibold", u"Segoe WP", 0}, {0x0407, u"Segoe WP N Semibold", u"Segoe WP", 0},
      {0x0811, u"Segoe WP N Semibold", u"Segoe WP", 0},
  };
  for (const Case& c : cases) {
    const FontFaces f = ChooseFontFaces(c.language);
    EXPECT_EQ(std::u16string(f.buttonFace), c.button) << std::hex << c.language;
    EXPECT_EQ(std::u16string(f.panelFace), c.panel) << std::hex << c.language;
    EXPECT_EQ(f.buttonStyle, c.buttonStyle) << std::hex << c.language;
    EXPECT_EQ(f.panelStyle, 0);
  }
}

TEST(WindowLayout, TableHoldsEachControlOnceWithItsStartState) {
  std::set<int> ids;
  int hidden = 0;
  for (const ControlLayout& c : kWindowLayout) {
    ids.insert(c.id);
    hidden += c.startsHidden ? 1 : 0;
  }
  EXPECT_EQ(ids.size(), 11u);
  EXPECT_EQ(hidden, 6);  // Exit, caution icon and text, spinner, both shut-down buttons
  // Update and Exit share one place; Exit is drawn over Update.
  const ControlLayout& update = kWindowLayout[4];
  const ControlLayout& exit = kWindowLayout[5];
  EXPECT_EQ(update.id, kIdUpdate);
  EXPECT_EQ(exit.id, kIdExit);
  EXPECT_EQ(std::tie(update.x, update.y, update.width, update.height), std::tie(exit.x, exit.y, exit.width, exit.height));
}

}  // namespace
