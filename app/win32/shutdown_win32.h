// Powering the computer off after a successful update.
#pragma once

// Enables the shutdown privilege and asks the system to power off (not restart, not log
// off), without forcing programs to close. Stops at the first step that fails and
// returns false; the caller closes the window whatever the result.
bool RequestPowerOff();
