// The text part of a skinned control: font, string format, and drawing the window's text.
#pragma once

#include <windows.h>

#include <memory>

#include "skin/win32/gdiplus_win32.h"

// A GDI+ font of `family`; a family that is not installed, or a font that cannot be made
// from it, falls back to the generic sans-serif family. Null when no font can be made.
std::unique_ptr<Gdiplus::Font> CreateSkinFont(const wchar_t* family, float emSize, int style, int unit);

class SkinText {
 public:
  // "Arial", 12 pixels, regular; centred both ways; no format flags, so long text wraps.
  SkinText();

  void SetAlignment(Gdiplus::StringAlignment alignment, Gdiplus::StringAlignment lineAlignment);
  void SetFont(const wchar_t* family, float emSize, int style, int unit);
  void ReleaseFont() { font_.reset(); }
  const Gdiplus::Font* font() const { return font_.get(); }
  const Gdiplus::StringFormat& format() const { return format_; }

  // Draws the text of `window` into `layout`; nothing when it is empty or there is no font.
  void DrawWindowText(Gdiplus::Graphics& graphics, HWND window, const Gdiplus::Brush& brush,
                      const Gdiplus::RectF& layout) const;

 private:
  Gdiplus::StringFormat format_;
  std::unique_ptr<Gdiplus::Font> font_;
};
