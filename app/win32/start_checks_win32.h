// The checks of how the program was loaded, made before it does anything: the process
// mitigation policies, and no ".local" redirection beside the program.
#pragma once

#include "app/command_line.h"
#include "app/run_log.h"

// First thing in the program, before any DLL is loaded by name: turns the mitigation
// policies on and looks for "<program>.local".
void ApplyStartGuards();

// After the command line and the log: logs which policies are on and, when a ".local"
// entry was found, why nothing is done, telling the user in window mode too. False when
// the program must end (with kExitFailed) without doing anything.
bool StartIsSafe(RunMode mode, RunLog& log);
