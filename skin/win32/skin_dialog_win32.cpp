#include "skin/win32/skin_dialog_win32.h"

#include <algorithm>

#include "platform/win32/dll_search_win32.h"
#include "skin/skin_geometry.h"
#include "skin/win32/skin_button_win32.h"

namespace {

constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION;  // 0xF012

// A control draws inside its rectangle, except that the pressed look without an image of
// its own sits one pixel right and down, and anti-aliased edges may touch the pixel
// beyond, and a focused button's ring lies just outside it: two pixels on every side hold
// all of it.
constexpr int kDrawMargin = 2;
static_assert(SkinButton::kFocusRingWidth <= kDrawMargin);

using UpdateLayeredWindowFunction = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                                  DWORD);
using UpdateLayeredWindowIndirectFunction = BOOL(WINAPI*)(HWND, const UPDATELAYEREDWINDOWINFO*);

bool Intersects(const RECT& a, const RECT& b) {
  RECT common{};
  return ::IntersectRect(&common, &a, &b) != FALSE;
}

bool Contains(const RECT& outer, const RECT& inner) {
  return ::IsRectEmpty(&inner) || (inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
                                   inner.bottom <= outer.bottom);
}

void Grow(RECT& area, const RECT& more) {
  RECT both{};
  ::UnionRect(&both, &area, &more);
  area = both;
}

}  // namespace

SkinDialog::SkinDialog(UINT templateId, HWND parent) : Dialog(templateId, parent) {}
SkinDialog::~SkinDialog() = default;

BOOL SkinDialog::OnInitDialog() {
  Dialog::OnInitDialog();
  blend_ = BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  scheme_ = CurrentScheme();
  // No focus cue until the keyboard is used, unless the user asked for the cues always.
  BOOL alwaysCues = FALSE;
  ::SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &alwaysCues, 0);
  focusCues_ = alwaysCues != FALSE;
  // The layout sets the background and places, fills and adds every control; composing
  // after each of those would draw frames nobody sees. The window is shown after this
  // returns, with the one frame composed here already handed over.
  layingOut_ = true;
  LayoutControls();
  layingOut_ = false;
  Compose();
  return TRUE;
}

LRESULT SkinDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate();
    case WM_ERASEBKGND: return TRUE;  // the frame is all there is to see
    case WM_LBUTTONDOWN: return OnLeftButtonDown();
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE: return OnSchemeMayChange();
    case WM_CHANGEUISTATE:
    case WM_UPDATEUISTATE: return OnUiState(wParam);
    default: return Dialog::HandleMessage(message, wParam, lParam);
  }
}

LRESULT SkinDialog::OnSchemeMayChange() {
  const LRESULT result = Default();
  const SystemScheme now = CurrentScheme();
  if (now == scheme_) return result;
  scheme_ = now;
  backgroundPixels_.clear();
  wholeFrame_ = true;
  for (Entry& e : entries_) e.control->MarkChanged();
  Compose();
  return result;
}

LRESULT SkinDialog::OnUiState(WPARAM wParam) {
  const LRESULT result = Default();
  if ((HIWORD(wParam) & UISF_HIDEFOCUS) == 0) return result;
  bool shown = focusCues_;
  if (LOWORD(wParam) == UIS_CLEAR) shown = true;
  if (LOWORD(wParam) == UIS_SET) {
    BOOL alwaysCues = FALSE;
    ::SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &alwaysCues, 0);
    shown = alwaysCues != FALSE;
  }
  if (shown == focusCues_) return result;
  focusCues_ = shown;
  for (const Entry& e : std::vector<Entry>(entries_)) e.control->OnFocusCuesChanged();
  return result;
}

void SkinDialog::ApplySchemeToBackground() {
  if (!scheme_.on) return;
  const std::uint32_t window = scheme_.window | 0xFF000000u;  // ARGB and opaque BGRA agree
  for (std::uint32_t& pixel : backgroundPixels_) pixel = (pixel >> 24) != 0 ? window : 0u;
  std::copy(backgroundPixels_.begin(), backgroundPixels_.end(), frame_.pixels());
}

LRESULT SkinDialog::OnCreate() {
  if (Default() == -1) return -1;
  LONG style = ::GetWindowLongW(hwnd(), GWL_STYLE);
  ::SetWindowLongW(hwnd(), GWL_STYLE, static_cast<LONG>((style & ~WS_CAPTION) | WS_POPUP));
  return 0;
}

LRESULT SkinDialog::OnLeftButtonDown() {
  // The system moves the window with the mouse until the button is released.
  ::SendMessageW(hwnd(), WM_SYSCOMMAND, kMoveByCaption, 0);
  return Default();
}

void SkinDialog::SetBackground(UINT resourceId, const wchar_t* resourceType, HMODULE module, double scale) {
  background_.reset();
  backgroundPixels_.clear();
  wholeFrame_ = true;
  background_ = LoadSkinImage(resourceId, resourceType, module, scale);
  const int width = background_->Width(), height = background_->Height();
  RECT frame{0, 0, width, height};
  ::AdjustWindowRect(&frame, static_cast<DWORD>(::GetWindowLongW(hwnd(), GWL_STYLE)), FALSE);
  RECT area{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  SkinPoint at = CentreInArea(area.left, area.top, area.right - area.left, area.bottom - area.top,
                              frame.right - frame.left, frame.bottom - frame.top);
  ::MoveWindow(hwnd(), at.x, at.y, width, height, TRUE);
  Compose();
}

void SkinDialog::AddControl(SkinControl* control) {
  control->SetHost(this);
  const bool listed =
      std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.control == control; });
  if (!listed) entries_.push_back(Entry{control, RECT{}, true});
}

std::vector<SkinControl*> SkinDialog::controls() const {
  std::vector<SkinControl*> list;
  for (const Entry& e : entries_) list.push_back(e.control);
  return list;
}

void SkinDialog::ReleaseSkin() {
  std::vector<Entry>().swap(entries_);
  background_.reset();
  backgroundPixels_.clear();
  frame_.Reset();
  wholeFrame_ = true;
}

void SkinDialog::ControlChanged(SkinControl* control) {
  MarkChanged(control);
  Compose();
}

void SkinDialog::MarkChanged(SkinControl* control) {
  for (Entry& e : entries_)
    if (e.control == control) e.changed = true;
}

void SkinDialog::Compose() {
  if (layingOut_ || !background_) return;
  const int width = background_->Width(), height = background_->Height();
  LONG exStyle = ::GetWindowLongW(hwnd(), GWL_EXSTYLE);
  if (!(exStyle & WS_EX_LAYERED)) ::SetWindowLongW(hwnd(), GWL_EXSTYLE, exStyle | WS_EX_LAYERED);

  if (!KeepFrame(width, height)) return;
  const bool anyChanged = std::any_of(entries_.begin(), entries_.end(), [](const Entry& e) { return e.changed; });
  const bool whole = wholeFrame_ || !anyChanged;
  const RECT area = whole ? RECT{0, 0, width, height} : AreaToDraw();
  Draw(area);
  OnFrameComposed(SkinFrame{frame_.pixels(), width, height, area});
  if (::IsRectEmpty(&area)) return;  // a change of something never drawn and still hidden
  RECT place{};
  ::GetWindowRect(hwnd(), &place);
  WindowDc windowDc(hwnd());
  Present(windowDc.get(), POINT{place.left, place.top}, whole ? nullptr : &area);
  wholeFrame_ = false;
}

bool SkinDialog::KeepFrame(int width, int height) {
  if (frame_ && frame_.width() == width && frame_.height() == height) return true;
  wholeFrame_ = true;
  return frame_.Create(width, height, true);
}

// The places of the changed controls, before and after the change, grown until every
// visible control it touches lies wholly inside it: a control is always drawn whole, so
// any control drawn again must not reach past the part that starts from the background.
RECT SkinDialog::AreaToDraw() const {
  std::vector<RECT> extents;
  for (const Entry& e : entries_) extents.push_back(Extent(e.control));
  RECT area{};
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (!entries_[i].changed) continue;
    Grow(area, entries_[i].drawn);
    Grow(area, extents[i]);
  }
  for (bool grown = true; grown;) {
    grown = false;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      for (const RECT& part : {extents[i], entries_[i].drawn}) {
        if (Intersects(area, part) && !Contains(area, part)) {
          Grow(area, part);
          grown = true;
        }
      }
    }
  }
  const RECT bounds{0, 0, frame_.width(), frame_.height()};
  RECT inside{};
  ::IntersectRect(&inside, &area, &bounds);
  return inside;
}

RECT SkinDialog::Extent(const SkinControl* control) const {
  RECT extent{};
  if (!control->visible()) return extent;
  RECT r{};
  ::GetWindowRect(control->hwnd(), &r);
  ::MapWindowPoints(HWND_DESKTOP, hwnd(), reinterpret_cast<POINT*>(&r), 2);
  ::InflateRect(&r, kDrawMargin, kDrawMargin);
  const RECT bounds{0, 0, frame_.width(), frame_.height()};
  ::IntersectRect(&extent, &r, &bounds);
  return extent;
}

void SkinDialog::Draw(const RECT& area) {
  StartFromBackground(area);
  // A whole frame starts from the background everywhere, also where a control drew in a
  // frame of another size.
  const bool whole = area.left == 0 && area.top == 0 && area.right == frame_.width() && area.bottom == frame_.height();
  Gdiplus::Graphics graphics(frame_.dc());
  graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
  for (Entry& e : entries_) {
    const RECT extent = Extent(e.control);
    if (Intersects(area, extent)) {
      BeforeDraw(*e.control);
      e.control->Draw(graphics);
      e.drawn = extent;
    } else if (whole || Contains(area, e.drawn)) {
      e.drawn = RECT{};  // hidden or gone: what it drew was just given back to the background
    }
    e.changed = false;
  }
  graphics.Flush(Gdiplus::FlushIntentionSync);
  ::GdiFlush();
}

void SkinDialog::StartFromBackground(const RECT& area) {
  const std::size_t width = static_cast<std::size_t>(frame_.width());
  const std::size_t count = width * static_cast<std::size_t>(frame_.height());
  // The background is drawn once and its pixels kept: every later frame starts from a copy
  // of them, which is what drawing it again onto the empty frame would give.
  if (backgroundPixels_.size() != count) {
    // The decoded pixels are the background as drawn onto the empty frame; drawing it
    // with GDI+ is the way when they cannot be read.
    if (background_->CopyPremultiplied(frame_.pixels())) {
      backgroundPixels_.assign(frame_.pixels(), frame_.pixels() + count);
      ApplySchemeToBackground();
      return;
    }
    std::fill_n(frame_.pixels(), count, 0u);
    {
      Gdiplus::Graphics graphics(frame_.dc());
      background_->Draw(graphics, Gdiplus::RectF(0.0f, 0.0f, static_cast<float>(frame_.width()),
                                                 static_cast<float>(frame_.height())));
      graphics.Flush(Gdiplus::FlushIntentionSync);
    }
    ::GdiFlush();
    backgroundPixels_.assign(frame_.pixels(), frame_.pixels() + count);
    ApplySchemeToBackground();
    return;
  }
  // Rows run bottom-up in the DIB.
  const std::size_t columns = static_cast<std::size_t>(area.right - area.left);
  for (LONG y = area.top; y < area.bottom; ++y) {
    const std::size_t at =
        static_cast<std::size_t>(frame_.height() - 1 - y) * width + static_cast<std::size_t>(area.left);
    std::copy_n(backgroundPixels_.data() + at, columns, frame_.pixels() + at);
  }
}

void SkinDialog::Present(HDC windowDc, POINT origin, const RECT* dirty) {
  // Looked up at run time: UpdateLayeredWindowIndirect, which hands over only the part of
  // the frame that changed, is missing before Vista, and both are missing from systems
  // older still, where the frame is drawn and thrown away.
  if (!user32_) user32_.reset(LoadSystemLibrary(L"User32.DLL"));
  if (!user32_) return;
  SIZE size{frame_.width(), frame_.height()};
  POINT source{0, 0};
  if (dirty) {
    auto indirect = reinterpret_cast<UpdateLayeredWindowIndirectFunction>(
        reinterpret_cast<void*>(::GetProcAddress(user32_.get(), "UpdateLayeredWindowIndirect")));
    UPDATELAYEREDWINDOWINFO info{sizeof info, windowDc, &origin, &size,     frame_.dc(),
                                 &source,     0,        &blend_, ULW_ALPHA, dirty};
    if (indirect && indirect(hwnd(), &info)) return;
  }
  auto update = reinterpret_cast<UpdateLayeredWindowFunction>(
      reinterpret_cast<void*>(::GetProcAddress(user32_.get(), "UpdateLayeredWindow")));
  if (update) update(hwnd(), windowDc, &origin, &size, frame_.dc(), &source, 0, &blend_, ULW_ALPHA);
}
