// What assistive technology reads of a skinned control. The controls are plain child
// windows whose look lives only in the layered parent's frame, so the system's own
// accessible objects see generic "client" windows; each control answers WM_GETOBJECT with
// an object built on the system's standard one that says what the control really is.
#pragma once

#include <windows.h>

#include <string>

// What a control tells a screen reader about itself.
struct AccessibleFacts {
  long role;          // ROLE_SYSTEM_*
  std::wstring name;  // empty: none
  long extraState;    // STATE_SYSTEM_* bits beyond those the window's styles give
  bool focusable;     // takes the keyboard focus (and says so)
  bool pressable;     // default action "Press", which clicks it
};

// The answer to WM_GETOBJECT for OBJID_CLIENT of `window`, whose facts come from `facts`
// each time they are asked for (the control may change after the object was handed out;
// a window that is gone answers as the standard object does). 0 when no object could be
// made: the system then gives its standard one.
using FactsSource = bool (*)(HWND window, AccessibleFacts& facts);
LRESULT AnswerGetObject(HWND window, WPARAM flags, FactsSource facts);

// Marks `window`'s client object as an assertive live region where the system knows live
// regions (IAccPropServices); without them the change events still go out.
void MarkAssertiveLiveRegion(HWND window);
// Tells listeners that the live region `window` changed, and raises an alert for it: the
// live-region change is what newer screen readers read; the alert is what every one reads,
// including those that know no live regions.
void AnnounceLiveRegion(HWND window);
// Tells listeners that `window`'s accessible name changed.
void AnnounceNameChange(HWND window);

// Keeps the calling thread in a single-threaded COM apartment while it lives, so that the
// objects handed out by AnswerGetObject can be reached from other processes. Does nothing
// (and undoes nothing) when the thread was already in another apartment.
class AccessibleApartment {
 public:
  AccessibleApartment();
  ~AccessibleApartment();
  AccessibleApartment(const AccessibleApartment&) = delete;
  AccessibleApartment& operator=(const AccessibleApartment&) = delete;

 private:
  bool entered_ = false;
};
