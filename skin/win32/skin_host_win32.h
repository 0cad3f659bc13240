// What a skinned control reports its changes to: the window that composes it.
#pragma once

class SkinControl;

class SkinHost {
 public:
  virtual ~SkinHost() = default;
  // `control` changed its look; the host composes again before returning.
  virtual void ControlChanged(SkinControl* control) = 0;
  // `control` changed its look and the caller composes later: the host notes that the
  // control's place must be drawn again at the next composition.
  virtual void MarkChanged(SkinControl* control) = 0;
};
