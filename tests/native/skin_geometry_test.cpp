#include "skin/skin_geometry.h"

#include <gtest/gtest.h>

namespace {

TEST(CentreInArea, CentresAndOverhangsByHalfTheExcessTruncated) {
  struct Row {
    int left, top, areaWidth, areaHeight, width, height;
    int x, y;
  } rows[] = {
      {0, 0, 1920, 1040, 780, 620, 570, 210},
      {0, 0, 1920, 1040, 1561, 1601, 179, -280},  // excess 561 in height: -280, not -281
      {0, 0, 1000, 800, 1561, 800, -280, 0},
      {100, 40, 1920, 1040, 781, 621, 669, 249},  // odd remainders truncate
      {-1920, 0, 1920, 1080, 1920, 1080, -1920, 0},
  };
  for (const Row& r : rows) {
    SkinPoint p = CentreInArea(r.left, r.top, r.areaWidth, r.areaHeight, r.width, r.height);
    EXPECT_EQ(p.x, r.x) << r.areaWidth << "x" << r.areaHeight << " / " << r.width << "x" << r.height;
    EXPECT_EQ(p.y, r.y) << r.areaWidth << "x" << r.areaHeight << " / " << r.width << "x" << r.height;
  }
}

}  // namespace
