// The system's high-contrast scheme. While it is on, the skin draws the same layout
// without its artwork: every pixel in the system's colours, as the user chose them.
#pragma once

#include <windows.h>

#include "skin/win32/gdiplus_win32.h"

struct SystemScheme {
  bool on = false;
  Gdiplus::ARGB window = 0, windowText = 0, buttonFace = 0, buttonText = 0, highlight = 0, grayText = 0;
  bool operator==(const SystemScheme&) const = default;
};

// High contrast's state and the system colours now.
SystemScheme ReadSystemScheme();

// Draws `image`'s shape, stretched to `to`, in `colour` alone: its alpha kept, its colours
// dropped.
void DrawSilhouette(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& to, Gdiplus::ARGB colour);
