// GoogleTest's entry for the toolkit's tests, with GDI+ running for the whole run.
#include <windows.h>

#include <gtest/gtest.h>

#include "skin/win32/gdiplus_session_win32.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  GdiplusSession gdiplus;
  if (!gdiplus) return 2;
  // As on a fresh Windows (Wine's prefix shows them always): keyboard cues hidden until a
  // key is used. For this process only.
  ::SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, FALSE, 0);
  return RUN_ALL_TESTS();
}
