// The one Application event a run leaves in the system's event log, for fleets that collect
// that log: how the run ended, its status, the image and the exit code.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/exit_code.h"

enum class EventLevel : std::uint8_t { kInformation, kWarning, kError };

struct RunEvent {
  EventLevel level = EventLevel::kError;
  // The message's inserts, in order: the outcome word, the status ("0x%08X"), the image's
  // NVM version ("0x%02X", "none"), its SHA-256 ("none") and the exit code.
  std::array<std::string, 5> inserts;
};

// The event of a run that ended as `outcome` with `exitCode`; `imageSha256` is the chosen
// image's digest, empty when none was chosen.
RunEvent RunEventFor(const RunOutcome& outcome, int exitCode, const std::string& imageSha256);
