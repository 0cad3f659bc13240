// A window object in the manner of the classic dialog framework: it attaches to an existing
// window by subclassing it, handles that window's messages in HandleMessage, and passes
// anything it does not handle on to the window's original procedure with Default().
#pragma once

#include <windows.h>

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }

  // Attaches this object to `window` and routes its messages here. False when the window
  // is missing or already attached to an object.
  bool SubclassWindow(HWND window);
  // Gives the window its original procedure back; the window itself lives on.
  void UnsubclassWindow();

 protected:
  // Runs just before the window's procedure is replaced.
  virtual void PreSubclassWindow() {}
  // One switch per window class; the default passes every message on.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The original window procedure for the message being handled.
  LRESULT Default();

 private:
  struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  WNDPROC original_ = nullptr;
  Message current_{};
};

// The window object attached to `window`, or null.
Window* WindowFromHandle(HWND window);
