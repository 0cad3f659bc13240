// Powering the computer off after a successful update.
#pragma once

// Enables the shutdown privilege and asks the system to power off (not restart, not log
// off), without forcing programs to close. Whatever fails is not reported.
void RequestPowerOff();
