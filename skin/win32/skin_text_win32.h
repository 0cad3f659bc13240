// The text part of a skinned control: font, string format, and drawing the window's text.
// The text is laid out and rendered only when it, its font, alignment or colour, or the
// size of its rectangle changed; otherwise the pixels rendered last time are drawn again.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "skin/text_alignment.h"
#include "skin/win32/dib_surface_win32.h"
#include "skin/win32/gdiplus_win32.h"

// A GDI+ font of `family`; a family that is not installed, or a font that cannot be made
// from it, falls back to the generic sans-serif family. Null when no font can be made.
std::unique_ptr<Gdiplus::Font> CreateSkinFont(const wchar_t* family, float emSize, int style, int unit);

// GDI+'s alignment for `alignment` (near for kNotSet, GDI+'s own default).
Gdiplus::StringAlignment StringAlignmentOf(TextAlignment alignment);

class SkinText {
 public:
  // "Arial", 12 pixels, regular; centred both ways; no format flags, so long text wraps.
  SkinText();
  // Out of line, like the controls' own: the window that holds eleven controls would
  // otherwise carry eleven copies of it.
  ~SkinText();

  void SetAlignment(Gdiplus::StringAlignment alignment, Gdiplus::StringAlignment lineAlignment);
  // Right to left: the text's reading order, and "near" alignment is the right edge. Where
  // GDI+ ignores the direction (Wine's lays every text out left to right), the alignment
  // is mirrored instead, so the text still starts at the right edge.
  void SetRightToLeft(bool rightToLeft);
  void SetFont(const wchar_t* family, float emSize, int style, int unit);
  void ReleaseFont();
  const Gdiplus::Font* font() const { return font_.get(); }
  const Gdiplus::StringFormat& format() const { return format_; }

  // Draws the text of `window` into `layout`; nothing when it is empty or there is no font.
  void DrawWindowText(Gdiplus::Graphics& graphics, HWND window, const Gdiplus::SolidBrush& brush,
                      const Gdiplus::RectF& layout);

 private:
  bool Render(const Gdiplus::Graphics& like, const std::wstring& text, const Gdiplus::SolidBrush& brush, int width,
              int height);
  void Forget();
  void ApplyAlignment();

  Gdiplus::StringFormat format_;
  Gdiplus::StringAlignment alignment_ = Gdiplus::StringAlignmentCenter;  // as set, before any mirroring
  bool mirrorAlignment_ = false;  // right to left, and GDI+ ignores the direction
  std::unique_ptr<Gdiplus::Font> font_;
  // The text as last rendered: premultiplied pixels of the layout's size, transparent but
  // for the text, and what it was rendered from.
  DibSurface rendered_;
  std::wstring renderedText_;
  Gdiplus::ARGB renderedColour_ = 0;
  RECT inked_{};  // where the rendered pixels are not transparent
};
