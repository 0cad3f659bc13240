#include "skin/skin_geometry.h"

int ScaleLength(int length, double scale) { return static_cast<int>(length * scale); }

SkinPoint CentreInArea(int areaLeft, int areaTop, int areaWidth, int areaHeight, int width, int height) {
  // Integer division truncates toward zero, also for the negative excess of a large window.
  return {areaLeft + (areaWidth - width) / 2, areaTop + (areaHeight - height) / 2};
}
