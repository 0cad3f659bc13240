#include "app/update_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/remembered_view.h"
#include "app/shutdown_choice.h"
#include "app/window_layout.h"

namespace {

struct ControlState {
  bool visible;
  bool enabled;
};

// The window's controls as the run leaves them, starting from the ready state.
class RecordingView final : public UpdateView {
 public:
  std::map<int, ControlState> controls = {
      {kIdUpdate, {true, true}},       {kIdExit, {false, true}},          {kIdClose, {true, true}},
      {kIdShutdownNow, {false, true}}, {kIdShutdownLater, {false, true}}, {kIdIllustration, {true, true}},
      {kIdCautionIcon, {false, true}}, {kIdCaution, {false, true}},       {kIdSpinner, {false, true}},
  };
  std::u16string message = u"prompt";
  std::vector<std::pair<std::uint32_t, double>> frames;
  int composes = 0;
  int focus = 0;  // 0: never moved
  bool focusedUnusable = false;

  void Show(int id) override { controls[id].visible = true; }
  void Hide(int id) override { controls[id].visible = false; }
  void Enable(int id) override { controls[id].enabled = true; }
  void Disable(int id) override { controls[id].enabled = false; }
  void SetMessage(const char16_t* text) override { message = text; }
  void Focus(int id) override {
    focus = id;
    if (!controls[id].visible || !controls[id].enabled) focusedUnusable = true;
  }
  void SetSpinnerImage(std::uint32_t frame, double scale) override { frames.emplace_back(frame, scale); }
  void Compose() override { ++composes; }
};

class ScriptedPlatform final : public UpdateRunPlatform {
 public:
  bool device = true;
  PowerSource power = PowerSource::kAc;
  bool threadStarts = true;
  int ticks = 3;                    // waits that time out before the worker ends
  bool timedWaitFails = false;      // then the wait after the ticks fails
  bool endWaitSeesEnd = true;       // and the wait without time-out sees the end, or fails too
  std::function<void(int)> onTick;  // sees the window during the run
  StatusCode workerStatus = kSuccess;
  bool ended = false;  // a wait has seen the worker's end
  std::u16string busyReason;
  int closed = 0, started = 0;

  bool EnsureAcpiDevice() override { return device; }
  PowerSource QueryPowerSource() override { return power; }
  bool StartWorker(const char16_t* reason) override {
    ++started;
    busyReason = reason;
    return threadStarts;
  }
  WorkerWait WaitForWorker() override {
    if (ticks-- > 0) {
      if (onTick) onTick(ticks);
      return WorkerWait::kRunning;
    }
    if (timedWaitFails) return WorkerWait::kWaitFailed;
    ended = true;
    return WorkerWait::kEnded;
  }
  bool WaitForWorkerEnd() override {
    ended = endWaitSeesEnd;
    return ended;
  }
  // The worker's status is its last act: asked before its end, it is not there yet.
  StatusCode CloseWorker() override {
    ++closed;
    return ended ? workerStatus : kNotYetWritten;
  }
  static constexpr StatusCode kNotYetWritten = 0xDEADBEEF;
};

struct Pressed {
  RecordingView view;
  ScriptedPlatform platform;
  std::uint32_t frame = kFirstSpinnerFrame;
  double scale = 1.0;
  UpdateRunState state{frame, scale, [](const char16_t* key, char16_t* buffer, std::size_t capacity) {
                         std::u16string text = key;
                         text = text.substr(0, capacity - 1);
                         std::copy(text.begin(), text.end(), buffer);
                         buffer[text.size()] = u'\0';
                       }};
  std::optional<StatusCode> Go() { return RunUpdate(view, platform, state); }
  ControlState operator[](int id) { return view.controls[id]; }
};

// Visible and enabled of Update, Exit, Close, the two shut-down buttons, illustration,
// caution icon and text, spinner: the columns of the window's states.
struct Expected {
  bool update, updateEnabled, exit, exitEnabled, closeEnabled, shutdown, illustration, caution, spinner;
};

void ExpectWindow(Pressed& r, const Expected& e, const std::string& name) {
  EXPECT_EQ(r[kIdUpdate].visible, e.update) << name;
  EXPECT_EQ(r[kIdUpdate].enabled, e.updateEnabled) << name;
  EXPECT_EQ(r[kIdExit].visible, e.exit) << name;
  EXPECT_EQ(r[kIdExit].enabled, e.exitEnabled) << name;
  EXPECT_EQ(r[kIdClose].enabled, e.closeEnabled) << name;
  EXPECT_EQ(r[kIdShutdownNow].visible, e.shutdown) << name;
  EXPECT_EQ(r[kIdShutdownLater].visible, e.shutdown) << name;
  EXPECT_EQ(r[kIdIllustration].visible, e.illustration) << name;
  EXPECT_EQ(r[kIdCautionIcon].visible, e.caution) << name;
  EXPECT_EQ(r[kIdCaution].visible, e.caution) << name;
  EXPECT_EQ(r[kIdSpinner].visible, e.spinner) << name;
}

// Then the charger is connected, or the power query fails (counted as AC), and Update is
// pressed again.
TEST(UpdateRun, OnBatteryThenOnAcOrUnknown) {
  for (PowerSource then : {PowerSource::kAc, PowerSource::kUnknown}) {
    Pressed r;
    r.platform.power = PowerSource::kBattery;
    EXPECT_EQ(r.Go(), std::nullopt);  // no outcome: the exit code must not claim a write
    ExpectWindow(r, {true, true, false, true, true, false, true, true, false}, "on battery");
    EXPECT_EQ(r.view.message, u"prompt");
    EXPECT_EQ(r.view.focus, kIdUpdate);  // greyed while the power was asked, focus lost
    EXPECT_FALSE(r.view.focusedUnusable);
    EXPECT_EQ(r.platform.started, 0);
    r.platform.power = then;
    EXPECT_EQ(r.Go(), kSuccess);
    EXPECT_FALSE(r[kIdCautionIcon].visible);
    EXPECT_EQ(r.platform.started, 1);
  }
}

// The adapter is pulled while the controller settles: the worker writes nothing and the
// window is as it is on battery before a run, ready for Update once the adapter is back.
TEST(UpdateRun, OnBatteryByTheTimeOfTheWrite) {
  Pressed r;
  r.platform.workerStatus = TBFW_E_ON_BATTERY;
  EXPECT_EQ(r.Go(), std::nullopt);
  ExpectWindow(r, {true, true, false, true, true, false, true, true, false}, "on battery at the write");
  EXPECT_EQ(r.view.message, u"IDS_PROMPT");  // the prompt again, in place of the busy text
  EXPECT_EQ(r.view.focus, kIdUpdate);
  EXPECT_FALSE(r.view.focusedUnusable);
  EXPECT_EQ(r.platform.closed, 1);
  r.platform.workerStatus = kSuccess;
  EXPECT_EQ(r.Go(), kSuccess);
  EXPECT_FALSE(r[kIdCaution].visible);
  EXPECT_TRUE(r[kIdShutdownNow].visible);
}

const Expected kRunning{false, false, true, false, false, false, false, false, true};
const Expected kFailed{false, false, true, true, true, false, false, false, false};
const Expected kSucceeded{false, false, false, true, true, true, false, false, false};

// The run's end, whether the worker never started or ended with its status. A failed wait
// tells nothing of the worker: the outcome and the ways out wait until a wait without
// time-out sees it end, and when even that fails the window stays as it is while running.
TEST(UpdateRun, EndStatesFollowTheOutcome) {
  struct Case {
    const char* name;
    StatusCode status;  // the worker's, or the run's own when no worker ran
    std::u16string message;
    Expected window;
    int focus;  // where the keyboard focus ends, 0: not moved
    int started = 1, closed = 1;
    bool device = true, threadStarts = true, waitFails = false, endSeen = true;
  };
  const Case cases[] = {
      {"updated", kSuccess, u"IDS_SUCCESS", kSucceeded, kIdShutdownNow},
      {"downgrade refused", TBFW_E_DOWNGRADE, u"IDS_DOWNGRADE", kFailed, kIdExit},
      {"no image", TBFW_E_NO_IMAGE, u"IDS_ERROR (0X10430005)", kFailed, kIdExit},
      {"device missing", TBFW_E_NO_ACPI_DEVICE, u"IDS_FIND_NO_HVK", kFailed, kIdExit, 0, 0, false},
      {"no worker thread", TBFW_E_NO_MEMORY, u"IDS_ERROR (0X10430007)", kFailed, kIdExit, 1, 0, true, false},
      {"failed wait, end seen", TBFW_E_NO_IMAGE, u"IDS_ERROR (0X10430005)", kFailed, kIdExit, 1, 1, true, true, true},
      // The worker would report success, but its end is never seen: no offer to shut down.
      {"failed wait, end never seen", kSuccess, u"IDS_BUSY", kRunning, 0, 1, 0, true, true, true, false},
  };
  for (const Case& c : cases) {
    Pressed r;
    r.platform.device = c.device;
    r.platform.threadStarts = c.threadStarts;
    r.platform.timedWaitFails = c.waitFails;
    r.platform.endWaitSeesEnd = c.endSeen;
    r.platform.workerStatus = c.status;
    // Only a run whose outcome is known reports one; the window's exit code rests on it. A
    // worker whose end was never seen has told nothing.
    EXPECT_EQ(r.Go(), c.endSeen ? std::optional<StatusCode>(c.status) : std::nullopt) << c.name;
    ExpectWindow(r, c.window, c.name);
    EXPECT_EQ(r.view.message, c.message) << c.name;
    EXPECT_EQ(r.view.focus, c.focus) << c.name;
    EXPECT_FALSE(r.view.focusedUnusable) << c.name;
    EXPECT_EQ(r.platform.started, c.started) << c.name;
    EXPECT_EQ(r.platform.closed, c.closed) << c.name;  // an unseen end keeps the window busy
  }
}

TEST(UpdateRun, TheBusyReasonIsTheIniTextOrABuiltInOne) {
  Pressed r;
  EXPECT_EQ(r.Go(), kSuccess);
  EXPECT_EQ(r.platform.busyReason, u"IDS_BUSY");
  Pressed missing;
  missing.state.lookup = [](const char16_t*, char16_t* buffer, std::size_t) { buffer[0] = u'\0'; };
  EXPECT_EQ(missing.Go(), kSuccess);
  EXPECT_EQ(missing.platform.busyReason, kBusyReasonFallback);
}

// While the worker runs the spinner shows, everything else is locked, and the spinner
// moves one frame a tick.
TEST(UpdateRun, WhileRunningOnlyTheSpinnerMovesOneFramePerTick) {
  Pressed r;
  r.platform.ticks = 10;
  r.frame = 147;  // a window goes on where its last run stopped
  r.platform.onTick = [&](int left) {
    ExpectWindow(r, kRunning, "running, ticks left: " + std::to_string(left));
    EXPECT_EQ(r.view.message, u"IDS_BUSY");  // the prompt's "click Update" is no longer true
    if (left == 5) r.scale = 0.5;            // a display change during the run
  };
  EXPECT_EQ(r.Go(), kSuccess);
  const std::vector<std::uint32_t> expected = {147, 148, 141, 142, 143, 144, 145, 146, 147, 148};
  std::vector<std::uint32_t> shown;
  for (auto [frame, scale] : r.view.frames) shown.push_back(frame);
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(r.view.frames[3].second, 1.0);
  EXPECT_EQ(r.view.frames[4].second, 0.5);  // read anew each tick
  EXPECT_EQ(r.frame, 141u);
  EXPECT_EQ(r.view.composes, 10);
}

// A new layout (a display change across the scale threshold) puts every control back to
// the template's ready state; replaying what the runs changed shows their end state again,
// whatever it was.
TEST(RememberingView, ALayoutAfterTheRunShowsItsEndStateAgain) {
  struct Case {
    const char* name;
    PowerSource power;
    bool device;
    StatusCode status;
  };
  const Case cases[] = {
      {"succeeded", PowerSource::kAc, true, kSuccess},
      {"failed", PowerSource::kAc, true, TBFW_E_NO_IMAGE},
      {"on battery", PowerSource::kBattery, true, kSuccess},
      {"no device", PowerSource::kAc, false, kSuccess},
  };
  for (const Case& c : cases) {
    Pressed r;
    r.platform.power = c.power;
    r.platform.device = c.device;
    r.platform.workerStatus = c.status;
    ControlMemory memory;
    RememberingView remembering(r.view, memory);
    RunUpdate(remembering, r.platform, r.state);
    const auto before = r.view.controls;
    const std::u16string message = r.view.message;

    RecordingView relaid;  // the ready state a new layout starts from
    memory.Replay(relaid);
    for (const auto& [id, look] : before) {
      EXPECT_EQ(relaid.controls[id].visible, look.visible) << c.name << " control " << id;
      EXPECT_EQ(relaid.controls[id].enabled, look.enabled) << c.name << " control " << id;
    }
    EXPECT_EQ(relaid.message, message) << c.name;
    EXPECT_EQ(relaid.focus, r.view.focus) << c.name;
    EXPECT_FALSE(relaid.focusedUnusable) << c.name;
  }
}

struct Shutdown final : SessionControl {
  std::uint32_t answer = 0;
  int closes = 0;
  std::uint32_t RequestPowerOff() override { return answer; }
  void PostClose() override { ++closes; }
};

// "Shut down now" closes the window only when the power-off started; a refusal keeps it
// open, saying so with the system's code, so nobody believes the computer is going down.
TEST(ShutDownNow, ARefusalKeepsTheWindowAndSaysSo) {
  for (std::uint32_t answer : {0u, 5u}) {
    Pressed r;
    Shutdown session;
    session.answer = answer;
    EXPECT_EQ(ShutDownNow(session, r.view, r.state.lookup), answer);
    EXPECT_EQ(session.closes, answer == 0 ? 1 : 0) << answer;
    EXPECT_EQ(r.view.message, answer == 0 ? u"prompt" : u"IDS_ERROR (0X00000005)") << answer;
  }
}

}  // namespace
