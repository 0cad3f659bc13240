// The tool's one Application event per run, through the system's event log. The source,
// "Vanto Thunderbolt Firmware Update", is registered by the run itself (the tool runs as an
// administrator or SYSTEM), naming the running exe as its message file: no installer step.
#pragma once

#include "app/run_event.h"

inline constexpr wchar_t kEventSourceName[] = L"Vanto Thunderbolt Firmware Update";

// Registers the source when it is not registered for this exe, then reports event 1 of
// the exe's message table with the event's inserts at its level. False when the event could not be
// reported; the run's outcome does not depend on it.
bool ReportRunEvent(const RunEvent& event);
