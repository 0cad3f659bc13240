// One writer of the controller per machine, across sessions: the first copy of the tool (a
// window in a user's session, or /silent as SYSTEM in session 0) owns a small shared
// section holding its process id for as long as it lives; a copy started meanwhile finds it
// and leaves the work to the first.
//
// The section lives in a private namespace whose boundary holds the Administrators group:
// every elevated copy (administrator or SYSTEM) reaches the same namespace from any
// session, and a standard user can neither create nor open it, so nobody can take the name
// first and lock every deployment out. A system that refuses this copy the namespace
// (access denied, or the namespace is there but cannot be opened) leaves it not running: a
// copy in the namespace would not see one on the global name. Where the system offers no
// private namespace (the calls fail for any other reason, as Wine's do), the
// section is made in the global namespace instead, where a program outside session 0
// needs the privilege to create global objects (which standard users lack) to take it
// first; should the name be held there by anything, this copy does not run (two writers
// would be worse than a retry).
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"

inline void CloseNamespace(HANDLE space) { ClosePrivateNamespace(space, 0); }
using UniqueNamespace = Unique<HandleTraits<HANDLE, CloseNamespace>>;

class SingleInstance {
 public:
  SingleInstance();
  // False when another copy holds the guard, or the guard could not be had.
  bool IsFirst() const { return first_; }
  // The process holding the guard when this copy is not first; 0 when it is not known.
  DWORD HolderProcessId() const { return holder_; }
  // Where the guard lives, for the log.
  const char* Where() const { return where_.c_str(); }

 private:
  bool Take(const wchar_t* name);

  // Declared in this order so the section goes before its namespace.
  UniqueNamespace namespace_;
  UniqueKernelHandle section_;
  bool first_ = false;
  DWORD holder_ = 0;
  std::string where_ = "nowhere";
};

// Brings the tool's window, a top-level window of `windowClass`, to the front when it
// belongs to process `holder`, restoring it when minimised; false when that process shows
// no such window. Found by its class and process alone: its title is in the language of
// that copy's run, which need not be this copy's.
bool BringWindowToFront(DWORD holder, const wchar_t* windowClass);
