// A dialog shown as a borderless per-pixel-alpha layered window: its whole look is one
// frame, the background image with the visible skinned controls over it, composed in
// memory and handed to the system after every change.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/dialog.h"
#include "skin/win32/skin_control_win32.h"
#include "skin/win32/skin_host_win32.h"
#include "skin/win32/skin_image_win32.h"

// A composed frame: premultiplied BGRA pixels, rows from the bottom up, as the DIB holds them.
struct SkinFrame {
  const std::uint32_t* pixels;
  int width;
  int height;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(height - 1 - y) * width + x]; }
};

class SkinDialog : public Dialog, public SkinHost {
 public:
  SkinDialog(UINT templateId, HWND parent) : Dialog(templateId, parent) {}

  // Replaces the background, sizes the window to it, centres it on the work area and
  // composes.
  void SetBackground(UINT resourceId, const wchar_t* resourceType, HMODULE module, double scale);
  // Adds `control` to the end of the draw list; a control already in the list keeps its
  // place, so laying the window out again draws each control once.
  void AddControl(SkinControl* control);
  // Empties the draw list and frees the background.
  void ReleaseSkin();
  // Composes one frame from scratch and hands it to the system.
  void Compose();

  void ControlChanged(SkinControl*) override { Compose(); }

  const SkinImage* background() const { return background_.get(); }
  const std::vector<SkinControl*>& controls() const { return controls_; }

 protected:
  BOOL OnInitDialog() override;
  // Sets the background and adds the controls in drawing order (later over earlier).
  virtual void LayoutControls() = 0;
  // Sees each frame after it is drawn and before the system gets it.
  virtual void OnFrameComposed(const SkinFrame&) {}

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnCreate();
  LRESULT OnLeftButtonDown();
  void DrawFrame(HDC memoryDc, std::uint32_t* pixels, const SkinFrame& frame);
  void Present(HDC windowDc, HDC memoryDc, POINT origin, SIZE size);

  std::unique_ptr<SkinImage> background_;
  std::vector<std::uint32_t> backgroundPixels_;  // the background alone, as first drawn
  BLENDFUNCTION blend_{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  std::vector<SkinControl*> controls_;
};
