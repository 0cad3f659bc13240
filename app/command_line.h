// The tool's two command-line switches: "/downgradable" and "/LID:<hex language id>".
#pragma once

#include <cstdint>

struct LaunchOptions {
  std::int32_t downgradable = 0;  // 1 when an image older than the controller's may be written
  std::uint16_t language = 0;     // LANGID of every text lookup
};

// Applies argv[1..argc-1] to `options`, which holds the defaults on entry. Arguments that
// do not start with "/" and switches of neither form are ignored. Returns true.
bool ParseCommandLine(int argc, const char16_t* const* argv, LaunchOptions& options);

// The value wcstol(text, nullptr, 16) gives where long is 32 bits wide: leading white
// space, a sign, an optional "0x", digits up to the first non-hex character, and a result
// clamped to the 32-bit signed range.
std::int32_t ParseHexLong(const char16_t* text);
