// A push button drawn from up to four images (normal, disabled, hover, pressed) with its
// text over them. Looks without an image of their own derive from the normal image.
#pragma once

#include <memory>

#include "skin/colour_matrices.h"
#include "skin/win32/skin_control_win32.h"
#include "skin/win32/skin_image_win32.h"
#include "skin/win32/skin_text_win32.h"

class SkinButton : public SkinControl {
 public:
  enum State : unsigned { StateDisabled = 0x1, StateHover = 0x2, StatePressed = 0x4 };

  SkinButton();
  ~SkinButton() override;

  void SetTextColor(Gdiplus::ARGB colour);  // all three looks
  void SetHoverTextColor(Gdiplus::ARGB colour);
  void SetPressedTextColor(Gdiplus::ARGB colour);
  void SetAlignment(Gdiplus::StringAlignment alignment, Gdiplus::StringAlignment lineAlignment) {
    text_.SetAlignment(alignment, lineAlignment);
    MarkChanged();
  }
  void SetRightToLeft(bool rightToLeft) {
    text_.SetRightToLeft(rightToLeft);
    MarkChanged();
  }
  void SetFont(const wchar_t* family, float emSize, int style, int unit) {
    text_.SetFont(family, emSize, style, unit);
    MarkChanged();
  }
  // Loads the four looks; an id of 0 for disabled, hover or pressed derives that look.
  // Composes nothing (the setters above neither).
  void SetImages(UINT normal, UINT disabled, UINT hover, UINT pressed, const wchar_t* type, HMODULE module,
                 double scale);
  // Frees the font and the images.
  void ReleaseResources();

  void Draw(Gdiplus::Graphics& graphics) override;
  // Copies `disabled` into StateDisabled and reports; nothing while there is no normal image.
  void Refresh() override;

  unsigned state() const { return state_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnMouseMove();
  LRESULT OnMouseHover();
  LRESULT OnMouseLeave();
  LRESULT OnButtonDown();
  LRESULT OnButtonUp();
  // The image of the current look and where and how it is drawn.
  struct Look {
    const SkinImage* image;
    Gdiplus::RectF to;
    const SkinColourMatrix* matrix;  // null: drawn as it is
  };
  Look ChooseLook(const Gdiplus::RectF& bounds) const;

  std::unique_ptr<SkinImage> normalImage_, disabledImage_, hoverImage_, pressedImage_;
  bool tracking_ = false;
  unsigned state_ = 0;
  SkinText text_;
  Gdiplus::SolidBrush textBrush_{Gdiplus::Color(0xFF000000)};
  Gdiplus::SolidBrush hoverTextBrush_{Gdiplus::Color(0xFF000000)};
  Gdiplus::SolidBrush pressedTextBrush_{Gdiplus::Color(0xFF000000)};
};
