#include "app/update_run.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "app/window_layout.h"

namespace {

void ShowOutcome(UpdateView& view, const UpdateRunState& state, StatusCode status) {
  std::array<char16_t, kMessageCapacity> message{};
  FormatStatusMessage(status, state.lookup, message.data(), message.size());
  view.SetMessage(message.data());
}

// On battery: the caution, and Update for when the adapter is back.
void ShowCaution(UpdateView& view) {
  view.Show(kIdCautionIcon);
  view.Show(kIdCaution);
  view.Enable(kIdUpdate);
  view.Enable(kIdClose);
  view.Focus(kIdUpdate);
}

}  // namespace

static_assert(std::size(kBusyReasonFallback) <= kMessageCapacity);

void LoadBusyReason(const TextLookup& lookup, char16_t* buffer) {
  lookup(u"IDS_BUSY", buffer, kMessageCapacity);
  if (buffer[0] == u'\0') std::copy(std::begin(kBusyReasonFallback), std::end(kBusyReasonFallback), buffer);
}

namespace {

// Text `key` in the window's language as the message.
void ShowText(UpdateView& view, const UpdateRunState& state, const char16_t* key) {
  std::array<char16_t, kMessageCapacity> text{};
  state.lookup(key, text.data(), text.size());
  view.SetMessage(text.data());
}

// No ACPI device: the driver is missing, and Exit is the only way on.
StatusCode ShowNoAcpiDevice(UpdateView& view, const UpdateRunState& state) {
  ShowText(view, state, u"IDS_FIND_NO_HVK");
  view.Hide(kIdUpdate);
  view.Hide(kIdIllustration);
  view.Show(kIdExit);
  view.Enable(kIdClose);
  view.Focus(kIdExit);
  return TBFW_E_NO_ACPI_DEVICE;
}

// The adapter was pulled while the controller settled: nothing was written, and the
// window is as it is on battery before a run.
void ShowReadyOnBattery(UpdateView& view, const UpdateRunState& state) {
  ShowText(view, state, u"IDS_PROMPT");
  view.Enable(kIdExit);
  view.Hide(kIdExit);
  view.Show(kIdIllustration);
  view.Show(kIdUpdate);
  ShowCaution(view);
}

// The run's end: its message, the ways out, and the focus on the first of them.
void ShowEnd(UpdateView& view, const UpdateRunState& state, StatusCode status) {
  ShowOutcome(view, state, status);
  view.Enable(kIdExit);
  view.Enable(kIdClose);
  if (status == kSuccess) {
    view.Hide(kIdExit);
    view.Show(kIdShutdownNow);
    view.Show(kIdShutdownLater);
  }
  view.Focus(status == kSuccess ? kIdShutdownNow : kIdExit);
}

// Runs the worker with the busy indicator turning, one frame a tick. The worker's status;
// kWorkerNotStarted when no worker could be made; empty when its end could never be seen.
std::optional<StatusCode> RunWorker(UpdateView& view, UpdateRunPlatform& platform, UpdateRunState& state) {
  std::array<char16_t, kMessageCapacity> busyReason{};
  LoadBusyReason(state.lookup, busyReason.data());
  // Without a worker nothing was done: say so rather than offer to shut down as if the
  // update had succeeded.
  if (!platform.StartWorker(busyReason.data())) return kWorkerNotStarted;
  // The prompt ("…then click Update") is no longer true: while the worker runs the
  // message says an update is running and the computer must stay on.
  view.SetMessage(busyReason.data());
  view.Show(kIdSpinner);
  WorkerWait wait = WorkerWait::kRunning;
  while ((wait = platform.WaitForWorker()) == WorkerWait::kRunning) {
    const std::uint32_t frame = state.spinnerFrame++;
    view.SetSpinnerImage(frame, state.scale);
    if (state.spinnerFrame > kLastSpinnerFrame) state.spinnerFrame = kFirstSpinnerFrame;
    view.Compose();
  }
  // A failed wait says nothing of the worker, which may still be writing the controller:
  // wait for its end. Should even that fail, nothing can tell whether it still runs, so
  // the window stays as it is while running: no outcome, no way out.
  if (wait == WorkerWait::kWaitFailed && !platform.WaitForWorkerEnd()) return std::nullopt;
  const StatusCode status = platform.CloseWorker();
  view.Hide(kIdSpinner);
  return status;
}

}  // namespace

std::optional<StatusCode> RunUpdate(UpdateView& view, UpdateRunPlatform& platform, UpdateRunState& state) {
  view.Disable(kIdUpdate);
  view.Disable(kIdClose);
  view.Hide(kIdCautionIcon);
  view.Hide(kIdCaution);
  if (!platform.EnsureAcpiDevice()) return ShowNoAcpiDevice(view, state);

  // A failing query counts as AC power: the check must not lock out a working charger.
  if (platform.QueryPowerSource() == PowerSource::kBattery) {
    ShowCaution(view);
    return std::nullopt;
  }

  view.Hide(kIdUpdate);
  view.Hide(kIdIllustration);
  view.Disable(kIdExit);
  view.Show(kIdExit);
  const std::optional<StatusCode> status = RunWorker(view, platform, state);
  if (!status) return std::nullopt;
  if (*status == TBFW_E_ON_BATTERY) {
    ShowReadyOnBattery(view, state);
    return std::nullopt;
  }
  ShowEnd(view, state, *status);
  return status;
}
