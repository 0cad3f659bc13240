#include "skin/win32/skin_dialog_win32.h"

#include <algorithm>

#include "framework/owners.h"
#include "platform/win32/dll_search_win32.h"
#include "skin/skin_geometry.h"

namespace {

constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION;  // 0xF012

// A 32-bit DIB section of `width` × `height`, all zeros: fully transparent.
HBITMAP CreateFrameBitmap(int width, int height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: rows run bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = 4 * static_cast<DWORD>(width) * static_cast<DWORD>(height);
  return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

}  // namespace

BOOL SkinDialog::OnInitDialog() {
  Dialog::OnInitDialog();
  blend_ = BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  LayoutControls();
  Compose();
  return TRUE;
}

LRESULT SkinDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate();
    case WM_ERASEBKGND: return TRUE;  // the frame is all there is to see
    case WM_LBUTTONDOWN: return OnLeftButtonDown();
    default: return Dialog::HandleMessage(message, wParam, lParam);
  }
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
  if (std::find(controls_.begin(), controls_.end(), control) == controls_.end()) controls_.push_back(control);
}

void SkinDialog::ReleaseSkin() {
  std::vector<SkinControl*>().swap(controls_);
  background_.reset();
  backgroundPixels_.clear();
}

void SkinDialog::Compose() {
  if (!background_) return;
  const int width = background_->Width(), height = background_->Height();
  LONG exStyle = ::GetWindowLongW(hwnd(), GWL_EXSTYLE);
  if (!(exStyle & WS_EX_LAYERED)) ::SetWindowLongW(hwnd(), GWL_EXSTYLE, exStyle | WS_EX_LAYERED);

  WindowDc windowDc(hwnd());
  UniqueMemoryDc memoryDc(::CreateCompatibleDC(windowDc.get()));
  if (!memoryDc) return;
  RECT place{};
  ::GetWindowRect(hwnd(), &place);
  void* bits = nullptr;
  UniqueGdiObject bitmap(CreateFrameBitmap(width, height, &bits));
  if (!bitmap || !bits) return;
  Selection selected(memoryDc.get(), bitmap.get());
  const SkinFrame frame{static_cast<const std::uint32_t*>(bits), width, height};
  DrawFrame(memoryDc.get(), static_cast<std::uint32_t*>(bits), frame);
  OnFrameComposed(frame);
  Present(windowDc.get(), memoryDc.get(), POINT{place.left, place.top}, SIZE{width, height});
}

void SkinDialog::DrawFrame(HDC memoryDc, std::uint32_t* pixels, const SkinFrame& frame) {
  const std::size_t count = static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
  // The background is drawn once and its pixels kept: every later frame starts from a copy
  // of them, which is what drawing it again onto the empty frame would give. A window that
  // recomposes ten times a second while an update runs would otherwise spend most of each
  // frame on the one picture that never changes.
  if (backgroundPixels_.size() == count) {
    std::copy_n(backgroundPixels_.data(), count, pixels);
  } else {
    {
      Gdiplus::Graphics graphics(memoryDc);
      background_->Draw(graphics, Gdiplus::RectF(0.0f, 0.0f, static_cast<float>(frame.width),
                                                 static_cast<float>(frame.height)));
      graphics.Flush(Gdiplus::FlushIntentionSync);
    }
    ::GdiFlush();
    backgroundPixels_.assign(pixels, pixels + count);
  }
  Gdiplus::Graphics graphics(memoryDc);
  graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
  for (SkinControl* control : controls_)
    if (control->visible()) control->Draw(graphics);
  graphics.Flush(Gdiplus::FlushIntentionSync);
  ::GdiFlush();
}

void SkinDialog::Present(HDC windowDc, HDC memoryDc, POINT origin, SIZE size) {
  // Looked up at run time: the function is absent from old systems, where the frame is
  // drawn and thrown away.
  using UpdateLayeredWindowFunction = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                                     BLENDFUNCTION*, DWORD);
  UniqueLibrary user32(LoadSystemLibrary(L"User32.DLL"));
  if (!user32) return;
  auto update = reinterpret_cast<UpdateLayeredWindowFunction>(
      reinterpret_cast<void*>(::GetProcAddress(user32.get(), "UpdateLayeredWindow")));
  if (!update) return;
  POINT source{0, 0};
  update(hwnd(), windowDc, &origin, &size, memoryDc, &source, 0, &blend_, ULW_ALPHA);
}
