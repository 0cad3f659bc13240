// The one Application event a run leaves: its inserts and its level, for every way a run
// ends.
#include "app/run_event.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RunEventFor, TellsTheOutcomeStatusImageAndExitCode) {
  const std::string sha(64, 'a');
  struct Row {
    const char* name;
    RunOutcome outcome;
    const char* word;
    const char* status;
    const char* version;
    bool withImage;
    EventLevel level;
  };
  const Row rows[] = {
      {"written",
       {RunMode::kSilent, RunEnd::kFinished, kSuccess, true, 0x1A, 0x1B, false},
       "written",
       "0x00000000",
       "0x1B",
       true,
       EventLevel::kInformation},
      {"already current",
       {RunMode::kSilent, RunEnd::kFinished, TBFW_E_ALREADY_CURRENT, true, 0x1B, 0x1B, false},
       "already current",
       "0x1043000F",
       "0x1B",
       true,
       EventLevel::kInformation},
      {"pending",
       {RunMode::kSilent, RunEnd::kFinished, TBFW_E_WRITE_PENDING, true, 0x1A, 0x1B, false},
       "pending",
       "0x10430010",
       "0x1B",
       true,
       EventLevel::kInformation},
      {"another board's image",
       {RunMode::kSilent, RunEnd::kFinished, TBFW_E_FIELD_MISMATCH, false, 0, 0, false},
       "refused",
       "0x10430006",
       "none",
       false,
       EventLevel::kWarning},
      {"older",
       {RunMode::kWindow, RunEnd::kFinished, TBFW_E_DOWNGRADE, true, 0x30, 0x1B, false},
       "refused",
       "0x1043000C",
       "0x1B",
       true,
       EventLevel::kWarning},
      {"provider failed",
       {RunMode::kSilent, RunEnd::kFinished, 5, true, 0x1A, 0x1B, false},
       "failed",
       "0x00000005",
       "0x1B",
       true,
       EventLevel::kError},
      {"checked",
       {RunMode::kCheck, RunEnd::kFinished, kSuccess, true, 0x1A, 0x1B, false},
       "checked, would write",
       "0x00000000",
       "0x1B",
       true,
       EventLevel::kInformation},
      {"on battery",
       {RunMode::kSilent, RunEnd::kOnBattery, kSuccess, false, 0, 0, false},
       "on battery",
       "0x00000000",
       "none",
       false,
       EventLevel::kWarning},
      {"another copy",
       {RunMode::kSilent, RunEnd::kAnotherCopy, kSuccess, false, 0, 0, false},
       "another copy runs",
       "0x00000000",
       "none",
       false,
       EventLevel::kWarning},
      {"not this notebook",
       {RunMode::kSilent, RunEnd::kFinished, TBFW_E_NO_ACPI_DEVICE, false, 0, 0, false},
       "failed",
       "0x10430001",
       "none",
       false,
       EventLevel::kError},
  };
  for (const Row& r : rows) {
    const int code = ExitCodeFor(r.outcome);
    const RunEvent event = RunEventFor(r.outcome, code, r.withImage ? sha : "");
    EXPECT_EQ(event.inserts[0], r.word) << r.name;
    EXPECT_EQ(event.inserts[1], r.status) << r.name;
    EXPECT_EQ(event.inserts[2], r.version) << r.name;
    EXPECT_EQ(event.inserts[3], r.withImage ? sha : "none") << r.name;
    EXPECT_EQ(event.inserts[4], std::to_string(code)) << r.name;
    EXPECT_EQ(event.level, r.level) << r.name;
  }
}

}  // namespace
