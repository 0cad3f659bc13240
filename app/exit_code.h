// The process's exit code: what deployment systems (Intune, Configuration Manager, a script
// with "start /wait") act on. One rule for every way the tool runs.
#pragma once

#include <cstdint>

#include "app/command_line.h"
#include "common/status_codes.h"

inline constexpr int kExitSuccess = 0;                 // done, or nothing to do
inline constexpr int kExitCheckSameVersion = 1;        // /check: the controller has this version
inline constexpr int kExitCheckControllerNewer = 2;    // /check: the controller's firmware is newer
inline constexpr int kExitCheckPending = 3;            // /check: written since the system started
inline constexpr int kExitClosedWithoutUpdate = 1602;  // the user closed the window without an update
inline constexpr int kExitFailed = 1603;               // any other failure; the status is in the log
// Another copy runs, or another program writes an image: retry later.
inline constexpr int kExitAnotherCopy = 1618;
// The package lies where others than the administrators can change it: nothing done. As
// Windows Installer's "package could not be opened", a failure no retry mends.
inline constexpr int kExitPackageUntrusted = 1620;
inline constexpr int kExitNotThisNotebook = 1633;  // no ACPI device or no supported controller
inline constexpr int kExitBadSwitch = 1639;        // an unattended switch given wrongly
inline constexpr int kExitPowerOffStarted = 1641;  // written, and the power-off has started
inline constexpr int kExitPowerOffNeeded = 3010;   // written; a power-off completes it
inline constexpr int kExitOnBattery = 3020;        // on battery: retry on mains power

// How a run ended before its outcome was known, or that it reached one.
enum class RunEnd : std::uint8_t {
  kFinished,  // the worker ran (or the ACPI device was missing): `status` holds
  kNotRun,    // the window closed without an update having run
  kOnBattery,
  kAnotherCopy,
  kBadSwitch,
};

struct RunOutcome {
  RunMode mode = RunMode::kWindow;
  RunEnd end = RunEnd::kNotRun;
  StatusCode status = kSuccess;
  bool haveVersions = false;  // both versions below were read
  std::uint32_t controllerVersion = 0;
  std::uint32_t imageVersion = 0;
  bool powerOffStarted = false;  // "Shut down now", or /shutdown after a write
};

int ExitCodeFor(const RunOutcome& outcome);
