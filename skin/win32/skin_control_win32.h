// The base of the skinned controls: a child window from the dialog template, subclassed,
// whose look is drawn only into the host window's composed frame. Every visible change
// (move, size, text, enable, show) asks the host to compose again; a change that composes
// later (image, font, colour) is still marked, so the next composition draws it.
#pragma once

#include <string>

#include "framework/win32/window.h"
#include "skin/win32/gdiplus_win32.h"
#include "skin/win32/high_contrast_win32.h"
#include "skin/win32/skin_accessible_win32.h"
#include "skin/win32/skin_host_win32.h"

class SkinControl : public Window {
 public:
  SkinControl();
  // Draws the control at its place in the host's client area.
  virtual void Draw(Gdiplus::Graphics& graphics) = 0;
  // Reports a change of look.
  virtual void Refresh() { NotifyHost(); }

  // Shows or hides the window; reports a change when WS_VISIBLE changed. All showing and
  // hiding goes through here, since composing trusts `visible`.
  BOOL ShowWindow(int command);
  void NotifyHost();
  // Tells the host that this control's look changed without composing: for changes that
  // the owner composes explicitly (images, fonts, colours, alignment).
  void MarkChanged();
  // Copies WS_VISIBLE and WS_DISABLED into `visible` and `disabled`, reporting nothing.
  void SyncStyleFlags();

  // What a screen reader is told the control is (ROLE_SYSTEM_*) and its name; a null name
  // is the window's text, which then also announces each change of the text.
  void SetAccessible(long role, const wchar_t* name);
  // The control's facts for assistive technology, read afresh at every question.
  virtual void DescribeForAccessibility(AccessibleFacts& facts) const;
  // The facts of the skinned control behind `window`; false when it is none.
  static bool FactsOf(HWND window, AccessibleFacts& facts);

  void SetHost(SkinHost* host) { host_ = host; }
  bool visible() const { return visible_; }
  // The host's high-contrast colours, null while the artwork is drawn.
  const SystemScheme* Scheme() const { return host_ != nullptr ? host_->Scheme() : nullptr; }
  long accessibleRole() const { return accessibleRole_; }
  bool FocusCuesShown() const { return host_ == nullptr || host_->FocusCuesShown(); }
  // The host began or stopped showing the keyboard focus.
  virtual void OnFocusCuesChanged() {}
  bool disabled() const { return disabled_; }

 protected:
  void PreSubclassWindow() override { SyncStyleFlags(); }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The control's rectangle in its parent's client coordinates.
  Gdiplus::RectF Bounds() const;

 private:
  LRESULT OnEnable(BOOL enabled);
  LRESULT OnMoveOrSize();
  LRESULT OnSetText();
  LRESULT OnGetObject(WPARAM flags, LPARAM objectId);

  SkinHost* host_ = nullptr;
  long accessibleRole_;
  std::wstring accessibleName_;
  bool nameFromText_ = true;
  bool disabled_ = false;
  bool visible_ = true;
};
