// The checks of how the program was loaded, made before it does anything: the process
// mitigation policies, no ".local" redirection beside the program, and a package no one
// but the administrators can change.
#pragma once

#include <optional>

#include "app/command_line.h"
#include "common/status_codes.h"
#include "app/run_log.h"

// First thing in the program, before any DLL is loaded by name: turns the mitigation
// policies on, looks for "<program>.local" and reads who may change the package.
void ApplyStartGuards();

// After the command line and the log, before GDI+, COM or the controller: logs which
// policies are on and, when a check refused, why nothing is done, telling the user in
// window mode too. Empty when the run may go on; otherwise the status it ends with
// (ExitCodeFor gives its exit code).
std::optional<StatusCode> StartRefusal(RunMode mode, RunLog& log);
