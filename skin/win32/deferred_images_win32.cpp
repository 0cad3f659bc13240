#include "skin/win32/deferred_images_win32.h"

#include <algorithm>

DeferredImages::~DeferredImages() { StopTimer(); }

void DeferredImages::Add(const SkinControl* control, Load load) { waiting_.emplace_back(control, std::move(load)); }

void DeferredImages::RunFor(const SkinControl* control) {
  if (control == nullptr) return;
  // Taken out before running: a load may add or run others.
  std::deque<Load> mine;
  for (auto at = waiting_.begin(); at != waiting_.end();) {
    if (at->first == control) {
      mine.push_back(std::move(at->second));
      at = waiting_.erase(at);
    } else {
      ++at;
    }
  }
  for (Load& load : mine) load();
}

bool DeferredImages::RunNext() {
  if (waiting_.empty()) return false;
  Load load = std::move(waiting_.front().second);
  waiting_.pop_front();
  load();
  return true;
}

void DeferredImages::RunAll() {
  while (RunNext()) {
  }
}

void DeferredImages::Clear() {
  StopTimer();
  waiting_.clear();
}

void DeferredImages::StartWhenIdle(HWND window) {
  StopTimer();
  if (waiting_.empty()) return;
  // The timer's id is this object, which OnTimer gets back; the window only carries it.
  if (::SetTimer(window, reinterpret_cast<UINT_PTR>(this), USER_TIMER_MINIMUM, &DeferredImages::OnTimer) != 0)
    timerWindow_ = window;
  else RunAll();  // no timer: the pictures are decoded now rather than never
}

void CALLBACK DeferredImages::OnTimer(HWND /*window*/, UINT /*message*/, UINT_PTR id, DWORD /*time*/) {
  auto* self = reinterpret_cast<DeferredImages*>(id);
  if (!self->RunNext() || self->empty()) self->StopTimer();
}

void DeferredImages::StopTimer() {
  if (timerWindow_ == nullptr) return;
  ::KillTimer(timerWindow_, reinterpret_cast<UINT_PTR>(this));
  timerWindow_ = nullptr;
}
