// A skinned dialog for the toolkit's tests: template 101 (100's controls, never
// shown), a few of them attached, a layout given by the test, and every composed frame recorded.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "skin/win32/deferred_images_win32.h"
#include "skin/win32/skin_button_win32.h"
#include "skin/win32/skin_dialog_win32.h"
#include "skin/win32/skin_label_win32.h"

// Test pictures of known colours (tests/wine/skin_test.rc).
enum TestImage : UINT {
  kOpaque = 900,      // 40 × 20, (200, 100, 50), opaque
  kHalf = 901,        // 40 × 20, (200, 100, 50), alpha 128
  kBright = 902,      // 40 × 20, (250, 250, 10), opaque
  kBackground = 903,  // 200 × 150, (40, 40, 40), opaque
  kBroken = 904,      // bytes that are no picture
  kOtherType = 905,   // a picture stored under RCDATA only
};

struct Argb {
  int a, r, g, b;
};
Argb Unpack(std::uint32_t pixel);
std::string Describe(std::uint32_t pixel);

class TestDialog : public SkinDialog {
 public:
  TestDialog() : SkinDialog(101, nullptr) {}
  ~TestDialog() override;

  // Creates the window; `layout` runs as its LayoutControls.
  bool Open(std::function<void(TestDialog&)> layout);
  // Runs the window modally; `layout` must arrange for it to end.
  INT_PTR RunModal(std::function<void(TestDialog&)> layout);

  SkinButton update;  // control 1003
  SkinButton exit;    // control 1
  SkinLabel message;  // control 1004
  SkinLabel picture;  // control 1001

  int frames = 0;
  std::vector<std::uint32_t> pixels;  // last frame, top row first
  int width = 0, height = 0;
  RECT drawn{};  // the part the last frame drew again
  std::wstring messageTextAtFrame;
  // The scheme the window reads in place of the system's (Wine reports high contrast off
  // whatever it is told).
  std::optional<SystemScheme> scheme;
  std::vector<WORD> clicked;           // ids of the BN_CLICKED commands received
  WPARAM sysCommand = 0;               // the last WM_SYSCOMMAND, swallowed: no modal move loop here
  DeferredImages* deferred = nullptr;  // when set, a control's late loads run before it is drawn
  std::uint32_t Pixel(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }

  using SkinDialog::OnInitDialog;

 protected:
  void DoDataExchange() override;
  void LayoutControls() override;
  void OnFrameComposed(const SkinFrame& frame) override;
  SystemScheme CurrentScheme() const override { return scheme ? *scheme : SkinDialog::CurrentScheme(); }
  void BeforeDraw(SkinControl& control) override {
    if (deferred) deferred->RunFor(&control);
  }
  bool OnCommand(WORD id, WORD notification) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  std::function<void(TestDialog&)> layout_;
};

// Places `control` at (x, y) with the given size in its parent's client coordinates.
void Place(const Window& control, int x, int y, int width, int height);
