// GDI+ started for the life of the object and shut down after it.
#pragma once

#include "skin/win32/gdiplus_win32.h"

class GdiplusSession {
 public:
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
  }
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  ~GdiplusSession() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
  }
  explicit operator bool() const { return token_ != 0; }

 private:
  ULONG_PTR token_ = 0;
};
