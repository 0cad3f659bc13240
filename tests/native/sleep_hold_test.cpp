#include "app/sleep_hold.h"

#include <gtest/gtest.h>

#include <new>
#include <optional>
#include <string>
#include <vector>

#include "tests/native/scheme_system.h"

namespace {

struct Notes final : WorkerEvents {
  std::vector<std::string> lines;
  void OnNote(std::string_view text) override { lines.emplace_back(text); }
  bool Holds(const std::string& part) const {
    for (const std::string& l : lines) {
      if (l.find(part) != std::string::npos) return true;
    }
    return false;
  }
};

const ButtonActions kBefore{{0x22, 0x42}, {1, 1, 3, 2, 1, 2}};
const std::array<std::uint32_t, 6> kNothing{};

struct HoldCase {
  const char* name;
  void (*arrange)(SchemeSystem&);
  HoldState state;
  std::vector<std::string> calls;      // the whole hold, its end included
  bool heldDuring;                     // every action did nothing while held
  bool markerAfter;                    // a marker is left for the next start
  std::array<std::uint32_t, 6> after;  // the actions once the hold ended
  const char* told;
};

const HoldCase kHoldCases[] = {
    {"held and put back",
     [](SchemeSystem&) {},
     HoldState::kHeld,
     {"Read", "SaveMarker", "Write held", "Write back", "ClearMarker"},
     true,
     false,
     kBefore.actions,
     "do nothing during the write (were lid 1/1, power button 3/2, sleep button 1/2)"},
    {"unreadable scheme",
     [](SchemeSystem& s) { s.readFails = true; },
     HoldState::kUnchanged,
     {"Read"},
     false,
     false,
     kBefore.actions,
     "cannot be read (PowerReadACValueIndex 0x00000005)"},
    {"already doing nothing",
     [](SchemeSystem& s) { s.scheme.actions = {}; },
     HoldState::kHeld,
     {"Read"},
     true,
     false,
     kNothing,
     "already do nothing"},
    {"no marker, no change",
     [](SchemeSystem& s) { s.saveFails = true; },
     HoldState::kUnchanged,
     {"Read", "SaveMarker"},
     false,
     false,
     kBefore.actions,
     "could not be marked (RegSetValueExW 0x00000005)"},
    {"change fails, undone",
     [](SchemeSystem& s) { s.writesFailing = 1; },
     HoldState::kUnchanged,
     {"Read", "SaveMarker", "Write held", "Write back", "ClearMarker"},
     false,
     false,
     kBefore.actions,
     "could not be changed (PowerWriteDCValueIndex 0x00000005), and is as it was"},
    {"change fails, not undone",
     [](SchemeSystem& s) { s.writesFailing = 2; },
     HoldState::kLeftChanged,
     {"Read", "SaveMarker", "Write held", "Write back"},
     false,
     true,
     {0, 1, 3, 2, 1, 2},
     "neither changed nor restored"},
    {"restore fails",
     [](SchemeSystem&) {},
     HoldState::kHeld,
     {"Read", "SaveMarker", "Write held", "Write back"},
     true,
     true,
     {0, 0, 0, 0, 0, 0},
     "could not be restored (PowerWriteDCValueIndex"},
};

TEST(SleepHold, HoldsTheLidAndButtonsForItsLifeAndPutsThemBack) {
  for (const HoldCase& c : kHoldCases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> calls;
    SchemeSystem system;
    system.calls = &calls;
    c.arrange(system);
    FakePowerScheme scheme(system);
    Notes notes;
    std::optional<bool> heldDuring;
    {
      const SleepHold hold(&scheme, notes);
      EXPECT_EQ(hold.State(), c.state);
      heldDuring = system.scheme.actions == kNothing;
      if (std::string(c.name) == "restore fails") system.writesFailing = 2;
    }
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(*heldDuring, c.heldDuring);
    EXPECT_EQ(system.marker.has_value(), c.markerAfter);
    EXPECT_EQ(system.scheme.actions, c.after);
    EXPECT_TRUE(notes.Holds(c.told)) << (notes.lines.empty() ? "" : notes.lines.back());
  }
}

TEST(SleepHold, TheMarkerIsSavedBeforeAnyActionChanges) {
  std::vector<std::string> calls;
  SchemeSystem system;
  system.calls = &calls;
  FakePowerScheme scheme(system);
  Notes notes;
  std::optional<ButtonActions> markedWhileHeld;
  {
    const SleepHold hold(&scheme, notes);
    markedWhileHeld = system.marker;
  }
  ASSERT_TRUE(markedWhileHeld.has_value());
  EXPECT_EQ(*markedWhileHeld, kBefore);
  EXPECT_TRUE(notes.Holds("power scheme restored: lid 1/1, power button 3/2, sleep button 1/2"));
}

// A run killed mid-write leaves the held scheme and its marker; the next start puts the
// scheme back as it was before that run and removes the marker, and a start after that
// finds nothing to do.
TEST(RestoreLeftScheme, TheNextStartUndoesWhatACrashedRunLeft) {
  SchemeSystem system;
  FakePowerScheme crashed(system);
  Notes notes;
  // Made in place and never ended, as in a process that died mid-write.
  alignas(SleepHold) unsigned char process[sizeof(SleepHold)];
  const auto* hold = new (process) SleepHold(&crashed, notes);
  ASSERT_EQ(hold->State(), HoldState::kHeld);
  const SchemeSystem leftBehind = system;
  EXPECT_EQ(leftBehind.scheme.actions, kNothing);

  SchemeSystem restarted = leftBehind;
  std::vector<std::string> calls;
  restarted.calls = &calls;
  FakePowerScheme next(restarted);
  Notes told;
  RestoreLeftScheme(next, told);
  EXPECT_EQ(restarted.scheme, kBefore);
  EXPECT_FALSE(restarted.marker.has_value());
  EXPECT_EQ(calls, (std::vector<std::string>{"LoadMarker", "Write back", "ClearMarker"}));
  EXPECT_TRUE(told.Holds("restored after an earlier run left it changed: lid 1/1, power button 3/2, sleep button 1/2"));

  calls.clear();
  RestoreLeftScheme(next, told);
  EXPECT_EQ(calls, (std::vector<std::string>{"LoadMarker"}));
}

TEST(RestoreLeftScheme, AMarkerItCannotUseIsToldAndKeptOnlyWhenUseful) {
  struct Case {
    const char* name;
    void (*arrange)(SchemeSystem&);
    bool markerAfter;
    const char* told;
  };
  const Case cases[] = {
      {"unreadable marker",
       [](SchemeSystem& s) {
         s.marker = ButtonActions{};
         s.markerUnreadable = true;
       },
       false, "cannot be read: it is removed"},
      {"scheme cannot be written",
       [](SchemeSystem& s) {
         s.marker = kBefore;
         s.writesFailing = 1;
       },
       true, "could not be restored (PowerWriteDCValueIndex 0x00000005)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SchemeSystem system;
    system.scheme.actions = {};
    c.arrange(system);
    FakePowerScheme scheme(system);
    Notes notes;
    RestoreLeftScheme(scheme, notes);
    EXPECT_EQ(system.marker.has_value(), c.markerAfter);
    EXPECT_TRUE(notes.Holds(c.told));
  }
}

TEST(SleepHold, NoSchemeHoldsNothingAndTellsNothing) {
  Notes notes;
  {
    const SleepHold hold(nullptr, notes);
    EXPECT_EQ(hold.State(), HoldState::kUnchanged);
  }
  EXPECT_TRUE(notes.lines.empty());
}

}  // namespace
