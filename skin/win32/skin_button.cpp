#include "skin/win32/skin_button.h"

#include <commctrl.h>

#include "skin/colour_matrices.h"

namespace {

std::unique_ptr<SkinImage> LoadLook(UINT id, const wchar_t* type, HMODULE module, double scale) {
  return id ? LoadSkinImage(id, type, module, scale) : nullptr;
}

void DrawThroughMatrix(Gdiplus::Graphics& graphics, const SkinImage& image, const Gdiplus::RectF& to,
                       const SkinColourMatrix& matrix) {
  Gdiplus::Image* picture = image.Get();
  if (!picture) return;
  Gdiplus::ColorMatrix colours;
  for (int row = 0; row < 5; ++row)
    for (int column = 0; column < 5; ++column) colours.m[row][column] = matrix[row][column];
  Gdiplus::ImageAttributes attributes;
  attributes.SetColorMatrix(&colours, Gdiplus::ColorMatrixFlagsDefault, Gdiplus::ColorAdjustTypeDefault);
  graphics.DrawImage(picture, to, 0.0f, 0.0f, static_cast<float>(picture->GetWidth()),
                     static_cast<float>(picture->GetHeight()), Gdiplus::UnitPixel, &attributes);
}

}  // namespace

SkinButton::SkinButton() = default;

void SkinButton::SetTextColor(Gdiplus::ARGB colour) {
  textBrush_.SetColor(Gdiplus::Color(colour));
  hoverTextBrush_.SetColor(Gdiplus::Color(colour));
  pressedTextBrush_.SetColor(Gdiplus::Color(colour));
}

void SkinButton::SetHoverTextColor(Gdiplus::ARGB colour) { hoverTextBrush_.SetColor(Gdiplus::Color(colour)); }
void SkinButton::SetPressedTextColor(Gdiplus::ARGB colour) { pressedTextBrush_.SetColor(Gdiplus::Color(colour)); }

void SkinButton::SetImages(UINT normal, UINT disabled, UINT hover, UINT pressed, const wchar_t* type,
                           HMODULE module, double scale) {
  // Each old image goes before its replacement is decoded.
  normalImage_.reset();
  disabledImage_.reset();
  hoverImage_.reset();
  pressedImage_.reset();
  normalImage_ = LoadSkinImage(normal, type, module, scale);
  disabledImage_ = LoadLook(disabled, type, module, scale);
  hoverImage_ = LoadLook(hover, type, module, scale);
  pressedImage_ = LoadLook(pressed, type, module, scale);
}

void SkinButton::ReleaseResources() {
  text_.ReleaseFont();
  normalImage_.reset();
  disabledImage_.reset();
  hoverImage_.reset();
  pressedImage_.reset();
}

void SkinButton::Refresh() {
  if (!normalImage_) return;
  if (disabled())
    state_ |= StateDisabled;
  else
    state_ &= ~StateDisabled;
  NotifyHost();
}

LRESULT SkinButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE: return OnMouseMove();
    case WM_MOUSEHOVER: return OnMouseHover();
    case WM_MOUSELEAVE: return OnMouseLeave();
    case WM_LBUTTONDOWN: return OnButtonDown();
    case WM_LBUTTONUP: return OnButtonUp();
    default: return SkinControl::HandleMessage(message, wParam, lParam);
  }
}

LRESULT SkinButton::OnMouseMove() {
  if (!tracking_) {
    // Hover is reported after the pointer rests 1 ms, leave when it goes.
    TRACKMOUSEEVENT request{sizeof request, TME_HOVER | TME_LEAVE, hwnd(), 1};
    tracking_ = ::_TrackMouseEvent(&request) != FALSE;
  }
  return Default();
}

LRESULT SkinButton::OnMouseHover() {
  state_ |= StateHover;
  Refresh();
  return 0;
}

LRESULT SkinButton::OnMouseLeave() {
  tracking_ = false;
  state_ &= ~StateHover;
  Refresh();
  return 0;
}

// The new look is composed before the button's own procedure runs, so on release the
// window shows the released look before the parent hears of the click.
LRESULT SkinButton::OnButtonDown() {
  state_ |= StatePressed;
  Refresh();
  return Default();
}

LRESULT SkinButton::OnButtonUp() {
  state_ &= ~(StatePressed | StateHover);
  Refresh();
  return Default();
}

void SkinButton::DrawImage(Gdiplus::Graphics& graphics, const Gdiplus::RectF& bounds) const {
  const bool hover = state_ & StateHover, pressed = state_ & StatePressed;
  if (state_ & StateDisabled) {
    if (disabledImage_)
      disabledImage_->Draw(graphics, bounds);
    else if (normalImage_)
      DrawThroughMatrix(graphics, *normalImage_, bounds, kGreyscaleMatrix);
  } else if (hover && pressed) {
    if (pressedImage_)
      pressedImage_->Draw(graphics, bounds);
    else if (normalImage_)
      normalImage_->Draw(graphics, Gdiplus::RectF(bounds.X + 1, bounds.Y + 1, bounds.Width, bounds.Height));
  } else if (hover) {
    if (hoverImage_)
      hoverImage_->Draw(graphics, bounds);
    else if (normalImage_)
      DrawThroughMatrix(graphics, *normalImage_, bounds, kHighlightMatrix);
  } else if (normalImage_) {
    normalImage_->Draw(graphics, bounds);
  }
}

void SkinButton::Draw(Gdiplus::Graphics& graphics) {
  const Gdiplus::RectF bounds = Bounds();
  DrawImage(graphics, bounds);
  // The disabled look keeps the normal text colour.
  if (state_ & StatePressed) {
    Gdiplus::RectF shifted(bounds.X + 1, bounds.Y + 1, bounds.Width, bounds.Height);
    text_.DrawWindowText(graphics, hwnd(), pressedTextBrush_, shifted);
  } else if (state_ & StateHover) {
    text_.DrawWindowText(graphics, hwnd(), hoverTextBrush_, bounds);
  } else {
    text_.DrawWindowText(graphics, hwnd(), textBrush_, bounds);
  }
}
