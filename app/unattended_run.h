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

struct UnattendedEnvironment {
  UpdatePreconditions& preconditions;
  UpdateWorkerEnvironment& worker;
  SessionControl& session;
};

// Runs the mode `options` names (kSilent or kCheck) and says how it ended; ExitCodeFor
// turns that into the exit code. Each step is written to `log`.
RunOutcome RunUnattended(const LaunchOptions& options, UnattendedEnvironment& env, RunLog& log);
