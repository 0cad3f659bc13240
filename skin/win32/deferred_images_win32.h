// Picture loads put off until a window is on screen. They run one at a time while the
// window is idle (a timer, whose message comes only when no other waits), or all of a
// control's at once when that control is about to be drawn: the window can be shown once
// the pictures of its first frame are decoded, and nothing is ever drawn without its own.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <utility>

class SkinControl;

class DeferredImages {
 public:
  using Load = std::function<void()>;

  DeferredImages() = default;
  DeferredImages(const DeferredImages&) = delete;
  DeferredImages& operator=(const DeferredImages&) = delete;
  ~DeferredImages();  // stops the idle timer

  // Adds a load that `control` needs before it is drawn; null: a load nothing waits for
  // (pictures decoded ahead of their use, which decodes them itself when they are late).
  void Add(const SkinControl* control, Load load);
  // Runs the loads `control` waits for now, in the order they were added.
  void RunFor(const SkinControl* control);
  // Runs the first waiting load; false when none was waiting.
  bool RunNext();
  // Runs every waiting load.
  void RunAll();
  // Drops the waiting loads without running them and stops the idle timer.
  void Clear();
  bool empty() const { return waiting_.empty(); }

  // Runs the waiting loads one per timer message of `window` until none is left. The
  // timer's message is made only when the window's thread has no other message waiting,
  // so input and painting go first.
  void StartWhenIdle(HWND window);

 private:
  static void CALLBACK OnTimer(HWND window, UINT message, UINT_PTR id, DWORD time);
  void StopTimer();

  std::deque<std::pair<const SkinControl*, Load>> waiting_;
  HWND timerWindow_ = nullptr;  // the window of the running idle timer, whose id is `this`
};
