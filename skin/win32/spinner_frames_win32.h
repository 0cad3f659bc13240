// The busy indicator's pictures: a run of consecutive resource ids, each decoded once at
// the window's scale and kept, so that a tick of the indicator only picks one. A change of
// scale drops them; they are decoded again, at the new scale, as they are asked for.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "skin/win32/skin_image_win32.h"

class SpinnerFrames {
 public:
  // Frames `first` to `last` of `type` in `module` (null: the executable). `type` is kept
  // as given: a literal or an integer resource type.
  SpinnerFrames(UINT first, UINT last, const wchar_t* type, HMODULE module);

  // Frame `id` at `scale`, decoded now when it is not kept at that scale; null for an id
  // outside the run. A scale other than the kept frames' drops them all first.
  std::shared_ptr<const SkinImage> Frame(UINT id, double scale);
  // Decodes the first frame not yet kept at `scale`; false when every one already is.
  bool DecodeNext(double scale);
  // How many frames are kept (at the scale last asked for).
  std::size_t kept() const;
  // Drops every kept frame; a picture still shown elsewhere lives until it is replaced there.
  void Clear();

 private:
  void UseScale(double scale);

  UINT first_, last_;
  const wchar_t* type_;
  HMODULE module_;
  double scale_ = 0.0;                                    // of the kept frames; 0 while none are kept
  std::vector<std::shared_ptr<const SkinImage>> frames_;  // by id - first_; null: not decoded
};
