#include "skin/win32/skin_button_win32.h"

#include <commctrl.h>
#include <oleacc.h>

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

// One pixel right and down: the pressed look without an image of its own.
Gdiplus::RectF Shifted(const Gdiplus::RectF& r) { return Gdiplus::RectF(r.X + 1, r.Y + 1, r.Width, r.Height); }

}  // namespace

SkinButton::SkinButton() { SetAccessible(ROLE_SYSTEM_PUSHBUTTON, nullptr); }
SkinButton::~SkinButton() = default;

void SkinButton::SetTextColor(Gdiplus::ARGB colour) {
  SkinTextControl::SetTextColor(colour);
  hoverTextBrush_.SetColor(Gdiplus::Color(colour));
  pressedTextBrush_.SetColor(Gdiplus::Color(colour));
}

void SkinButton::SetStateTextColors(Gdiplus::ARGB hover, Gdiplus::ARGB pressed) {
  SetHoverTextColor(hover);
  SetPressedTextColor(pressed);
}

void SkinButton::SetHoverTextColor(Gdiplus::ARGB colour) {
  hoverTextBrush_.SetColor(Gdiplus::Color(colour));
  MarkChanged();
}

void SkinButton::SetPressedTextColor(Gdiplus::ARGB colour) {
  pressedTextBrush_.SetColor(Gdiplus::Color(colour));
  MarkChanged();
}

void SkinButton::SetImages(UINT normal, UINT disabled, UINT hover, UINT pressed, const wchar_t* type, HMODULE module,
                           double scale) {
  // Each old image goes before its replacement is decoded.
  normalImage_.reset();
  disabledImage_.reset();
  hoverImage_.reset();
  pressedImage_.reset();
  normalImage_ = LoadSkinImage(normal, type, module, scale);
  disabledImage_ = LoadLook(disabled, type, module, scale);
  hoverImage_ = LoadLook(hover, type, module, scale);
  pressedImage_ = LoadLook(pressed, type, module, scale);
  MarkChanged();
}

void SkinButton::ReleaseResources() {
  SkinTextControl::ReleaseResources();
  normalImage_.reset();
  disabledImage_.reset();
  hoverImage_.reset();
  pressedImage_.reset();
}

void SkinButton::Refresh() {
  // The look follows the window's state also while the images are not loaded yet (a
  // button disabled before its late images arrive is drawn disabled with them).
  if (disabled()) state_ |= StateDisabled;
  else state_ &= ~StateDisabled;
  // Without a normal image the window is not composed; what changed is still marked for
  // the next composition.
  if (!normalImage_) {
    MarkChanged();
    return;
  }
  NotifyHost();
}

LRESULT SkinButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE: return OnMouseMove();
    case WM_MOUSEHOVER: return OnMouseHover();
    case WM_MOUSELEAVE: return OnMouseLeave();
    case WM_LBUTTONDOWN: return OnButtonDown();
    case WM_LBUTTONUP: return OnButtonUp();
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return OnFocusChange();
    case WM_GETDLGCODE: return OnGetDialogCode(reinterpret_cast<const MSG*>(lParam));
    default: return SkinControl::HandleMessage(message, wParam, lParam);
  }
}

LRESULT SkinButton::OnMouseMove() {
  if (!tracking_) {
    // Hover is reported after the pointer rests 1 ms, leave when it goes. User32's own
    // call, not the common controls' wrapper of it: comctl32 is no KnownDLL, and the
    // elevated program imports nothing that a copy beside it could stand in for.
    TRACKMOUSEEVENT request{sizeof request, TME_HOVER | TME_LEAVE, hwnd(), 1};
    tracking_ = ::TrackMouseEvent(&request) != FALSE;
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

LRESULT SkinButton::OnFocusChange() {
  const LRESULT result = Default();
  FollowFocus();
  return result;
}

void SkinButton::FollowFocus() {
  const bool shown = FocusCuesShown() && ::GetFocus() == hwnd();
  if (shown == ((state_ & StateFocusShown) != 0)) return;
  state_ = shown ? (state_ | StateFocusShown) : (state_ & ~StateFocusShown);
  Refresh();
}

// The dialog manager asks the focused control about every key it sees. A key press shows
// the keyboard cues from then on: the control asks its window to show them, as the
// system's own controls do.
// A focused push button is the one Enter presses, whatever the dialog's default.
LRESULT SkinButton::OnGetDialogCode(const MSG* message) {
  LRESULT code = Default();
  if (message != nullptr && (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN)) {
    ::SendMessageW(::GetParent(hwnd()), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  }
  if ((code & DLGC_UNDEFPUSHBUTTON) != 0 && ::GetFocus() == hwnd())
    code = (code & ~DLGC_UNDEFPUSHBUTTON) | DLGC_DEFPUSHBUTTON;
  return code;
}

void SkinButton::DescribeForAccessibility(AccessibleFacts& facts) const {
  SkinControl::DescribeForAccessibility(facts);
  facts.focusable = true;
  facts.pressable = true;
}

SkinButton::Look SkinButton::ChooseLook(const Gdiplus::RectF& bounds) const {
  const bool hover = state_ & StateHover, pressed = state_ & StatePressed;
  if (state_ & StateDisabled)
    return disabledImage_ ? Look{disabledImage_.get(), bounds, nullptr}
                          : Look{normalImage_.get(), bounds, &kGreyscaleMatrix};
  if (hover && pressed)
    return pressedImage_ ? Look{pressedImage_.get(), bounds, nullptr}
                         : Look{normalImage_.get(), Shifted(bounds), nullptr};
  if (hover)
    return hoverImage_ ? Look{hoverImage_.get(), bounds, nullptr} : Look{normalImage_.get(), bounds, &kHighlightMatrix};
  return {normalImage_.get(), bounds, nullptr};
}

void SkinButton::Draw(Gdiplus::Graphics& graphics) {
  const Gdiplus::RectF bounds = Bounds();
  if (const SystemScheme* scheme = Scheme()) {
    DrawInScheme(graphics, *scheme, bounds);
    return;
  }
  const Look look = ChooseLook(bounds);
  if (look.image && look.matrix) DrawThroughMatrix(graphics, *look.image, look.to, *look.matrix);
  else if (look.image) look.image->Draw(graphics, look.to);
  // Pressed text moves with the press, whether or not the image does; the disabled look
  // keeps the normal text colour.
  const bool pressed = state_ & StatePressed;
  const Gdiplus::SolidBrush& brush = pressed                 ? pressedTextBrush_
                                     : (state_ & StateHover) ? hoverTextBrush_
                                                             : textBrush();
  text().DrawWindowText(graphics, hwnd(), brush, pressed ? Shifted(bounds) : bounds);
  if (state_ & StateFocusShown) DrawFrame(graphics, focusBrush_, bounds, kFocusRingWidth, true);
}

// The face in the button colour, a border and the text in the button text colour (grey
// text while disabled, the highlight colour for the border under the pointer), and the
// Close button's cross drawn since it has no text; the focus ring in the highlight colour.
void SkinButton::DrawInScheme(Gdiplus::Graphics& graphics, const SystemScheme& scheme, const Gdiplus::RectF& bounds) {
  const Gdiplus::SolidBrush face(Gdiplus::Color(scheme.buttonFace));
  const Gdiplus::SolidBrush ink(Gdiplus::Color((state_ & StateDisabled) ? scheme.grayText : scheme.buttonText));
  const Gdiplus::SolidBrush border(Gdiplus::Color((state_ & StateHover) ? scheme.highlight : scheme.buttonText));
  graphics.FillRectangle(&face, bounds);
  DrawFrame(graphics, border, bounds, kFocusRingWidth, false);
  if (::GetWindowTextLengthW(hwnd()) > 0) {
    text().DrawWindowText(graphics, hwnd(), ink, bounds);
  } else {
    const Gdiplus::Pen pen(&ink, bounds.Width / 12.0f);
    const float inset = bounds.Width * 0.3f;
    graphics.DrawLine(&pen, bounds.X + inset, bounds.Y + inset, bounds.GetRight() - inset, bounds.GetBottom() - inset);
    graphics.DrawLine(&pen, bounds.X + inset, bounds.GetBottom() - inset, bounds.GetRight() - inset, bounds.Y + inset);
  }
  if (state_ & StateFocusShown) {
    const Gdiplus::SolidBrush ring(Gdiplus::Color(scheme.highlight));
    DrawFrame(graphics, ring, bounds, kFocusRingWidth, true);
  }
}

// Four bands of `width` whole pixels along the rectangle's edges, outside it or inside it.
void SkinButton::DrawFrame(Gdiplus::Graphics& graphics, const Gdiplus::Brush& brush, const Gdiplus::RectF& r, int width,
                           bool outside) {
  const float w = static_cast<float>(width);
  const Gdiplus::RectF o = outside ? Gdiplus::RectF(r.X - w, r.Y - w, r.Width + 2 * w, r.Height + 2 * w) : r;
  graphics.FillRectangle(&brush, o.X, o.Y, o.Width, w);
  graphics.FillRectangle(&brush, o.X, o.GetBottom() - w, o.Width, w);
  graphics.FillRectangle(&brush, o.X, o.Y + w, w, o.Height - 2 * w);
  graphics.FillRectangle(&brush, o.GetRight() - w, o.Y + w, w, o.Height - 2 * w);
}
