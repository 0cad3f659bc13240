// What the button and the panel share: a text drawn over their pictures, with its font,
// alignment, direction and colour, and pictures loaded from the resources by id. A window
// lays out either kind through this one interface.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "skin/win32/skin_control_win32.h"
#include "skin/win32/skin_text_win32.h"

class SkinTextControl : public SkinControl {
 public:
  // The picture ids a layout gives a control: a button's normal, disabled, hover and
  // pressed looks (0: derived from the normal one), a panel's picture first (0: none).
  using ImageIds = std::array<std::uint32_t, 4>;

  SkinTextControl();
  ~SkinTextControl() override;

  // The setters compose nothing; each marks the control for the next composition.
  // The text's colour in every look.
  virtual void SetTextColor(Gdiplus::ARGB colour);
  // The colours under the pointer and while pressed; a panel has one look and keeps its one.
  virtual void SetStateTextColors(Gdiplus::ARGB hover, Gdiplus::ARGB pressed);
  void SetAlignment(Gdiplus::StringAlignment alignment, Gdiplus::StringAlignment lineAlignment);
  void SetRightToLeft(bool rightToLeft);
  void SetFont(const wchar_t* family, float emSize, int style, int unit);
  // Replaces the pictures with those of `ids` (see ImageIds).
  virtual void LoadImages(const ImageIds& ids, const wchar_t* type, HMODULE module, double scale) = 0;
  // Frees the font and the pictures.
  virtual void ReleaseResources();

 protected:
  SkinText& text() { return text_; }
  const Gdiplus::SolidBrush& textBrush() const { return textBrush_; }

 private:
  SkinText text_;
  Gdiplus::SolidBrush textBrush_{Gdiplus::Color(0xFF000000)};
};
