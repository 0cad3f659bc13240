// GoogleTest's entry for the toolkit's tests, with GDI+ running for the whole run.
#include <gtest/gtest.h>

#include "skin/win32/gdiplus_session_win32.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  GdiplusSession gdiplus;
  if (!gdiplus) return 2;
  return RUN_ALL_TESTS();
}
