// The tool's command-line switches: "/downgradable" and "/LID:<hex language id>" for the
// window, and "/silent", "/check", "/shutdown", "/log:<path>" and "/?" for unattended use.
#pragma once

#include <cstdint>
#include <string>

// How the process runs: with its window, unattended (update or check only), or just to
// print the switches.
enum class RunMode : std::uint8_t { kWindow, kSilent, kCheck, kHelp };

struct LaunchOptions {
  std::int32_t downgradable = 0;  // 1 when an image older than the controller's may be written
  std::uint16_t language = 0;     // LANGID of every text lookup
  RunMode mode = RunMode::kWindow;
  bool shutdown = false;  // unattended update: power the computer off after a write
  bool log = false;       // "/log:" was given; `logPath` names the file
  std::u16string logPath;
};

// Applies argv[1..argc-1] to `options`, which holds the defaults on entry. Arguments that
// do not start with "/" and unknown switches are ignored. "/?" wins over "/check", which
// wins over "/silent"; "/shutdown" counts only with "/silent". False when a switch of the
// unattended mode is given wrongly ("/log:" without a path): nothing should then be done.
bool ParseCommandLine(int argc, const char16_t* const* argv, LaunchOptions& options);

// The value wcstol(text, nullptr, 16) gives where long is 32 bits wide: leading white
// space, a sign, an optional "0x", digits up to the first non-hex character, and a result
// clamped to the 32-bit signed range.
std::int32_t ParseHexLong(const char16_t* text);
