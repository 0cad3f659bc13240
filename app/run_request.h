// What one start of the tool was asked to do. The command line fills it once; the window,
// the unattended run and the update procedure read that same value and never copy its
// fields apart.
#pragma once

#include <cstdint>
#include <string>

// How the process runs: with its window, unattended (update or check only), or just to
// print the switches.
enum class RunMode : std::uint8_t { kWindow, kSilent, kCheck, kHelp };

struct RunRequest {
  bool downgradable = false;   // an image older than the controller's may be written
  std::uint16_t language = 0;  // LANGID of every text lookup
  RunMode mode = RunMode::kWindow;
  bool shutdown = false;   // unattended update: power the computer off after a write
  bool force = false;      // unattended update: write even an image already there or pending
  std::u16string logPath;  // "/log:"'s file; empty when no log is kept

  // Everything but the write: what an update would do.
  bool CheckOnly() const { return mode == RunMode::kCheck; }
  bool KeepsLog() const { return !logPath.empty(); }
};
