// The tool without its window (/silent, /check): the same checks the Update button makes,
// then the update procedure on the calling thread, and for /silent /shutdown the power-off
// after a write.
#pragma once

#include "app/command_line.h"
#include "app/exit_code.h"
#include "app/run_log.h"
#include "app/shutdown_choice.h"
#include "app/update_preconditions.h"
#include "app/update_worker.h"

// What keeps the session and the system up while the unattended run's worker runs, as the
// window's busy state does: no session end, no sleep, and `reason` shown to whoever tries.
class BusyHold {
 public:
  virtual ~BusyHold() = default;
  // False when the hold could not be made; the run goes on, as the window's does.
  virtual bool Begin(const char16_t* reason) = 0;
  // Lets go; called once after every Begin.
  virtual void End() = 0;
};

struct UnattendedEnvironment {
  UpdatePreconditions& preconditions;
  UpdateWorkerEnvironment& worker;
  SessionControl& session;
  BusyHold& busy;
  TextLookup lookup;  // the texts in the run's language (the busy reason)
};

// Runs the mode `request` names (kSilent or kCheck) and says how it ended; ExitCodeFor
// turns that into the exit code. Each step is written to `log`. No exception leaves: one
// that escapes the procedure ends it with kWorkerException, the controller powered off.
RunOutcome RunUnattended(const RunRequest& request, UnattendedEnvironment& env, RunLog& log);
