// A dialog shown as a borderless per-pixel-alpha layered window: its whole look is one
// frame, the background image with the visible skinned controls over it, kept in memory
// and handed to the system after every change. A change marks the places it affects; a
// composition draws only those again and hands only that part of the frame over.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/win32/dialog.h"
#include "platform/win32/unique_handle.h"
#include "skin/win32/dib_surface_win32.h"
#include "skin/win32/skin_accessible_win32.h"
#include "skin/win32/skin_control_win32.h"
#include "skin/win32/skin_host_win32.h"
#include "skin/win32/skin_image_win32.h"

// A composed frame: premultiplied BGRA pixels, rows from the bottom up, as the DIB holds
// them, and the part of it drawn by the composition that produced it.
struct SkinFrame {
  const std::uint32_t* pixels;
  int width;
  int height;
  RECT drawn;  // in frame coordinates, rows from the top; the whole frame when all was drawn
  std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(height - 1 - y) * width + x]; }
};

class SkinDialog : public Dialog, public SkinHost {
 public:
  SkinDialog(UINT templateId, HWND parent);
  ~SkinDialog() override;

  // Replaces the background, sizes the window to it, centres it on the work area and
  // composes the whole frame.
  void SetBackground(UINT resourceId, const wchar_t* resourceType, HMODULE module, double scale);
  // Adds `control` to the end of the draw list; a control already in the list keeps its
  // place, so laying the window out again draws each control once.
  void AddControl(SkinControl* control);
  // Empties the draw list and frees the background and the kept frame.
  void ReleaseSkin();
  // Draws again the places of the controls marked as changed since the last composition
  // and hands that part of the frame to the system. With nothing marked, or after the
  // background or the size changed, it composes and hands over the whole frame.
  void Compose();

  void ControlChanged(SkinControl* control) override;
  void MarkChanged(SkinControl* control) override;
  const SystemScheme* Scheme() const override { return scheme_.on ? &scheme_ : nullptr; }
  bool FocusCuesShown() const override { return focusCues_; }

  const SkinImage* background() const { return background_.get(); }
  std::vector<SkinControl*> controls() const;

 protected:
  // Lays the window out and composes its first frame once, before the window is shown.
  BOOL OnInitDialog() override;
  // Sets the background and adds the controls in drawing order (later over earlier).
  virtual void LayoutControls() = 0;
  // High contrast's state and colours as the system has them now.
  virtual SystemScheme CurrentScheme() const { return ReadSystemScheme(); }
  // Sees each frame after it is drawn and before the system gets it.
  virtual void OnFrameComposed(const SkinFrame&) {}
  // Runs just before `control` is drawn into the frame: a window that decodes pictures
  // late gives the control its pictures here, so that none is drawn without them.
  virtual void BeforeDraw(SkinControl& /*control*/) {}

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // A control of the draw list, where its pixels lie in the frame and whether its look
  // changed since it was drawn there.
  struct Entry {
    SkinControl* control;
    RECT drawn;
    bool changed;
  };

  LRESULT OnCreate();
  LRESULT OnLeftButtonDown();
  // High contrast turned on or off, or the system's colours changed: all is drawn again.
  LRESULT OnSchemeMayChange();
  // WM_CHANGEUISTATE and WM_UPDATEUISTATE: follows whether the focus is to be shown.
  LRESULT OnUiState(WPARAM wParam);
  // In high contrast, the kept background becomes the window colour wherever the artwork
  // is not transparent, and the frame starts from that.
  void ApplySchemeToBackground();
  bool KeepFrame(int width, int height);
  // Where `control` can draw in the frame; empty while it is hidden.
  RECT Extent(const SkinControl* control) const;
  RECT AreaToDraw() const;
  void Draw(const RECT& area);
  void StartFromBackground(const RECT& area);
  void Present(HDC windowDc, POINT origin, const RECT* dirty);

  // The controls' accessible objects are handed to other processes through COM.
  AccessibleApartment apartment_;
  std::unique_ptr<SkinImage> background_;
  std::vector<std::uint32_t> backgroundPixels_;  // the background alone, as first drawn
  BLENDFUNCTION blend_{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  std::vector<Entry> entries_;  // the draw list, with what the frame holds of each control
  DibSurface frame_;            // kept between compositions
  UniqueLibrary user32_;        // looked up once: where the calls that hand the frame over are
  bool wholeFrame_ = true;      // the next composition draws and hands over everything
  bool layingOut_ = false;      // the first layout runs: its one composition follows it
  SystemScheme scheme_;
  bool focusCues_ = true;
};
