// The arithmetic of the skinned window's geometry: scaled lengths and centring.
#pragma once

struct SkinPoint {
  int x;
  int y;
};

// A design length at `scale`, truncated toward zero (0.5 × 43 is 21).
int ScaleLength(int length, double scale);

// Where a window of `width` × `height` goes to be centred in the area; a window larger
// than the area overhangs both sides by half the excess, the half truncated toward zero.
SkinPoint CentreInArea(int areaLeft, int areaTop, int areaWidth, int areaHeight, int width, int height);
