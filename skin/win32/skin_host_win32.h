// What a skinned control reports its changes to: the window that composes it.
#pragma once

class SkinControl;

class SkinHost {
 public:
  virtual ~SkinHost() = default;
  // `control` changed its look; the host composes its whole picture again before returning.
  virtual void ControlChanged(SkinControl* control) = 0;
};
