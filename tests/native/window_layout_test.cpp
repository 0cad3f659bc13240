#include "app/window_layout.h"

#include <gtest/gtest.h>

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

}  // namespace
