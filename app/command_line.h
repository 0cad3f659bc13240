// The tool's command-line switches: "/downgradable" and "/LID:<hex language id>" for the
// window, and "/silent", "/check", "/shutdown", "/log:<path>" and "/?" for unattended use.
#pragma once

#include <cstdint>

#include "app/run_request.h"

// Applies argv[1..argc-1] to `request`, which holds the defaults on entry. Arguments that
// do not start with "/" and unknown switches are ignored. "/?" wins over "/check", which
// wins over "/silent"; "/shutdown" counts only with "/silent". False when a switch of the
// unattended mode is given wrongly ("/log:" without a path): nothing should then be done.
bool ParseCommandLine(int argc, const char16_t* const* argv, RunRequest& request);

// The value wcstol(text, nullptr, 16) gives where long is 32 bits wide: leading white
// space, a sign, an optional "0x", digits up to the first non-hex character, and a result
// clamped to the 32-bit signed range.
std::int32_t ParseHexLong(const char16_t* text);
