// Whether the computer runs on battery, from the power information of powrprof.dll.
#pragma once

#include <optional>

// True on battery, false on mains power; empty when the system cannot say (powrprof.dll
// or its call missing, or the call failing). powrprof.dll is no KnownDLL: it is loaded
// from System32 here, for the one call, rather than imported, so a copy beside the
// program is never loaded.
std::optional<bool> SystemOnBattery();
