// A push button drawn from up to four images (normal, disabled, hover, pressed) with its
// text over them. Looks without an image of their own derive from the normal image.
#pragma once

#include <memory>

#include "skin/colour_matrices.h"
#include "skin/win32/skin_image_win32.h"
#include "skin/win32/skin_text_control_win32.h"

class SkinButton : public SkinTextControl {
 public:
  enum State : unsigned { StateDisabled = 0x1, StateHover = 0x2, StatePressed = 0x4, StateFocusShown = 0x8 };
  // The focus ring: this many pixels wide, just outside the button, where the composition
  // draws a control's edges anyway.
  static constexpr int kFocusRingWidth = 2;

  SkinButton();
  ~SkinButton() override;

  void SetTextColor(Gdiplus::ARGB colour) override;  // all three looks
  void SetStateTextColors(Gdiplus::ARGB hover, Gdiplus::ARGB pressed) override;
  void SetHoverTextColor(Gdiplus::ARGB colour);
  void SetPressedTextColor(Gdiplus::ARGB colour);
  // Loads the four looks; an id of 0 for disabled, hover or pressed derives that look.
  // Composes nothing (the setters above neither).
  void SetImages(UINT normal, UINT disabled, UINT hover, UINT pressed, const wchar_t* type, HMODULE module,
                 double scale);
  void LoadImages(const ImageIds& ids, const wchar_t* type, HMODULE module, double scale) override {
    SetImages(ids[0], ids[1], ids[2], ids[3], type, module, scale);
  }
  void ReleaseResources() override;

  void Draw(Gdiplus::Graphics& graphics) override;
  void DescribeForAccessibility(AccessibleFacts& facts) const override;
  void OnFocusCuesChanged() override { FollowFocus(); }
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
  LRESULT OnFocusChange();
  LRESULT OnGetDialogCode(const MSG* message);
  // Shows the ring while the button has the focus and the window shows keyboard cues.
  void FollowFocus();
  // The image of the current look and where and how it is drawn.
  struct Look {
    const SkinImage* image;
    Gdiplus::RectF to;
    const SkinColourMatrix* matrix;  // null: drawn as it is
  };
  Look ChooseLook(const Gdiplus::RectF& bounds) const;
  void DrawInScheme(Gdiplus::Graphics& graphics, const SystemScheme& scheme, const Gdiplus::RectF& bounds);
  static void DrawFrame(Gdiplus::Graphics& graphics, const Gdiplus::Brush& brush, const Gdiplus::RectF& r, int width,
                        bool outside);

  std::unique_ptr<SkinImage> normalImage_, disabledImage_, hoverImage_, pressedImage_;
  bool tracking_ = false;
  unsigned state_ = 0;
  Gdiplus::SolidBrush hoverTextBrush_{Gdiplus::Color(0xFF000000)};
  Gdiplus::SolidBrush pressedTextBrush_{Gdiplus::Color(0xFF000000)};
  Gdiplus::SolidBrush focusBrush_{Gdiplus::Color(0xFF000000)};
};
