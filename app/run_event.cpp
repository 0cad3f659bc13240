#include "app/run_event.h"

#include <cstdio>

#include "app/update_worker.h"

namespace {

std::string Hex(const char* format, std::uint32_t value) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), format, static_cast<unsigned>(value));
  return text.data();
}

// The word for a run that reached no outcome of the worker's.
const char* EndWord(RunEnd end) {
  switch (end) {
    case RunEnd::kNotRun: return "closed without an update";
    case RunEnd::kOnBattery: return "on battery";
    case RunEnd::kAnotherCopy: return "another copy runs";
    case RunEnd::kBadSwitch: return "a switch given wrongly";
    case RunEnd::kFinished: break;
  }
  return "failed";
}

}  // namespace

RunEvent RunEventFor(const RunOutcome& outcome, int exitCode, const std::string& imageSha256) {
  RunEvent event;
  const bool finished = outcome.end == RunEnd::kFinished;
  const std::string word = finished ? RunOutcomeWord(outcome.status) : EndWord(outcome.end);
  if (outcome.mode == RunMode::kCheck && finished) {
    event.inserts[0] = std::string("checked, ") + (outcome.status == kSuccess ? "would write" : word);
  } else {
    event.inserts[0] = word;
  }
  event.inserts[1] = Hex("0x%08X", finished ? outcome.status : 0);
  event.inserts[2] = outcome.haveVersions ? Hex("0x%02X", outcome.imageVersion) : "none";
  event.inserts[3] = imageSha256.empty() ? "none" : imageSha256;
  event.inserts[4] = std::to_string(exitCode);
  // An image refused, or a run that could not start, is a warning: nothing went wrong on
  // the computer. A failure is an error.
  if (word == "refused" || !finished) {
    event.level = EventLevel::kWarning;
  } else if (word == "failed" || exitCode == kExitFailed) {
    event.level = EventLevel::kError;
  } else {
    event.level = EventLevel::kInformation;
  }
  return event;
}
