#include "skin/win32/spinner_frames_win32.h"

#include <algorithm>

SpinnerFrames::SpinnerFrames(UINT first, UINT last, const wchar_t* type, HMODULE module)
    : first_(first), last_(last), type_(type), module_(module), frames_(last >= first ? last - first + 1 : 0) {}

void SpinnerFrames::UseScale(double scale) {
  if (scale == scale_) return;
  Clear();
  scale_ = scale;
}

std::shared_ptr<const SkinImage> SpinnerFrames::Frame(UINT id, double scale) {
  if (id < first_ || id > last_) return nullptr;
  UseScale(scale);
  std::shared_ptr<const SkinImage>& frame = frames_[id - first_];
  if (!frame) frame = LoadSkinImage(id, type_, module_, scale);
  return frame;
}

bool SpinnerFrames::DecodeNext(double scale) {
  UseScale(scale);
  const auto missing = std::find(frames_.begin(), frames_.end(), nullptr);
  if (missing == frames_.end()) return false;
  const UINT id = first_ + static_cast<UINT>(missing - frames_.begin());
  *missing = LoadSkinImage(id, type_, module_, scale);
  return true;
}

std::size_t SpinnerFrames::kept() const {
  return static_cast<std::size_t>(
      std::count_if(frames_.begin(), frames_.end(), [](const auto& f) { return f != nullptr; }));
}

void SpinnerFrames::Clear() {
  std::fill(frames_.begin(), frames_.end(), nullptr);
  scale_ = 0.0;
}
