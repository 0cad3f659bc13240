// A dialog built from a dialog template resource, run modally (or, for tools and tests,
// modeless). Its window is subclassed while it is being created, so the object sees every
// message from WM_CREATE on; commands reach OnCommand by control id and notification.
#pragma once

#include <windows.h>

#include "framework/win32/window.h"

class Dialog : public Window {
 public:
  Dialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

  // Runs the dialog until EndDialog; returns its result, or -1 when it could not be created.
  INT_PTR DoModal();
  // Creates the dialog without a loop of its own; false when it could not be created.
  bool Create();
  // Ends a modal run with `result`, or destroys a modeless dialog.
  void EndDialog(INT_PTR result);

 protected:
  // Attaches the template's controls (DoDataExchange); returns TRUE to let the system set
  // the focus.
  virtual BOOL OnInitDialog();
  // Attaches template controls to member objects with AttachControl.
  virtual void DoDataExchange() {}
  // Subclasses the template control `id` with `control`.
  bool AttachControl(int id, Window& control);
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // Command routing: true when handled. The base ends the dialog on IDOK and IDCANCEL.
  virtual bool OnCommand(WORD id, WORD notification);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // Subclasses the next window the thread creates (the dialog's own) with this object.
  class CreationHook;

  UINT templateId_;
  HWND parent_;
  bool modal_ = false;
};

// The module whose resources the application reads: the executable.
HINSTANCE ResourceModule();
