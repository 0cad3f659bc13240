// What a skinned control reports its changes to: the window that composes it.
#pragma once

class SkinControl;
struct SystemScheme;

class SkinHost {
 public:
  virtual ~SkinHost() = default;
  // `control` changed its look; the host composes again before returning.
  virtual void ControlChanged(SkinControl* control) = 0;
  // `control` changed its look and the caller composes later: the host notes that the
  // control's place must be drawn again at the next composition.
  virtual void MarkChanged(SkinControl* control) = 0;
  // The system colours to draw in instead of the artwork while high contrast is on; null
  // otherwise.
  virtual const SystemScheme* Scheme() const { return nullptr; }
  // Whether the keyboard focus is shown: not until the keyboard is used, unless the user
  // asked for the cues always.
  virtual bool FocusCuesShown() const { return true; }
};
