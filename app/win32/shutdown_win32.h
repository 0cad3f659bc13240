// Powering the computer off after a successful update.
#pragma once

#include <windows.h>

// "Shut down now" in the window: enables the shutdown privilege and asks the system to
// power off (not restart, not log off) without forcing programs to close. 0 when the
// power-off has started, otherwise the system's error of the first step that failed.
DWORD RequestPowerOff();

// /silent /shutdown, typically as SYSTEM in session 0 where no user is logged on to end:
// enables the shutdown privilege and starts a planned power-off for a software upgrade,
// recorded with that reason, without forcing other users' programs closed. 0 when the
// system accepted it, otherwise its error.
DWORD RequestUnattendedPowerOff();
