#include "tests/wine/skin_test_dialog.h"

#include <cstdio>

Argb Unpack(std::uint32_t pixel) {
  return {static_cast<int>(pixel >> 24), static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
          static_cast<int>(pixel & 0xFF)};
}

std::string Describe(std::uint32_t pixel) {
  char text[48];
  Argb p = Unpack(pixel);
  std::snprintf(text, sizeof text, "argb(%d, %d, %d, %d)", p.a, p.r, p.g, p.b);
  return text;
}

TestDialog::~TestDialog() {
  if (hwnd()) ::DestroyWindow(hwnd());
}

bool TestDialog::Open(std::function<void(TestDialog&)> layout) {
  layout_ = std::move(layout);
  return Create();
}

INT_PTR TestDialog::RunModal(std::function<void(TestDialog&)> layout) {
  layout_ = std::move(layout);
  return DoModal();
}

void TestDialog::DoDataExchange() {
  AttachControl(1003, update);
  AttachControl(1, exit);
  AttachControl(1004, message);
  AttachControl(1001, picture);
}

void TestDialog::LayoutControls() {
  if (layout_) layout_(*this);
}

void TestDialog::OnFrameComposed(const SkinFrame& frame) {
  ++frames;
  width = frame.width;
  height = frame.height;
  drawn = frame.drawn;
  pixels.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = frame.At(x, y);
  wchar_t text[256] = {};
  ::GetWindowTextW(message.hwnd(), text, 256);
  messageTextAtFrame = text;
}

bool TestDialog::OnCommand(WORD id, WORD notification) {
  if (notification == BN_CLICKED) clicked.push_back(id);
  return SkinDialog::OnCommand(id, notification);
}

LRESULT TestDialog::HandleMessage(UINT id, WPARAM wParam, LPARAM lParam) {
  if (id != WM_SYSCOMMAND) return SkinDialog::HandleMessage(id, wParam, lParam);
  sysCommand = wParam;
  return 0;
}

void Place(const Window& control, int x, int y, int width, int height) {
  ::SetWindowPos(control.hwnd(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}
