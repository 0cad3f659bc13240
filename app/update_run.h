// What pressing Update does on the window's thread: check the ACPI device and the power
// source, run the worker while the busy indicator turns and the message says an update is
// running, then show the outcome and the buttons that fit it.
#pragma once

#include <cstdint>
#include <optional>

#include "app/status_message.h"
#include "app/update_preconditions.h"
#include "common/status_codes.h"

// The window as the update run changes it. Every call that changes a control's look
// composes the window at once, as the controls do.
class UpdateView {
 public:
  virtual ~UpdateView() = default;
  virtual void Show(int id) = 0;
  virtual void Hide(int id) = 0;
  virtual void Enable(int id) = 0;
  virtual void Disable(int id) = 0;
  virtual void SetMessage(const char16_t* text) = 0;
  // Gives the keyboard focus to control `id` (which must be shown and enabled).
  virtual void Focus(int id) = 0;
  // Replaces the busy indicator's picture without composing.
  virtual void SetSpinnerImage(std::uint32_t frame, double scale) = 0;
  virtual void Compose() = 0;
};

enum class WorkerWait { kRunning, kEnded, kWaitFailed };

// The system as the update run reaches it.
class UpdateRunPlatform : public UpdatePreconditions {
 public:
  // Starts the worker thread; false when no thread could be made. From a true result until
  // CloseWorker the window is busy: it refuses every request to close, and holds the
  // session open with `busyReason` as the reason the system shows the user.
  virtual bool StartWorker(const char16_t* busyReason) = 0;
  // Waits up to 100 ms for the worker to end, answering the window's messages meanwhile.
  virtual WorkerWait WaitForWorker() = 0;
  // Waits for the worker to end, without a time-out; false when even this wait failed.
  virtual bool WaitForWorkerEnd() = 0;
  // Called once the worker has been seen to end: lets go of the thread and of the busy
  // state, and gives the status the worker left, its only result.
  virtual StatusCode CloseWorker() = 0;
};

// The window's state that the run reads and writes.
struct UpdateRunState {
  std::uint32_t& spinnerFrame;  // the busy indicator's next frame, 141..148
  const double& scale;          // the layout's scale, 0.5 or 1
  TextLookup lookup;            // the texts in the window's language
};

// The busy reason when data\Update.ini has no "IDS_BUSY" text.
inline constexpr char16_t kBusyReasonFallback[] =
    u"A firmware update is running. Turning the computer off now can damage the Thunderbolt controller.";

// Fills `buffer` (kMessageCapacity units) with the reason the system shows while the
// session is held open for the worker: "IDS_BUSY", or the built-in text when it is empty.
void LoadBusyReason(const TextLookup& lookup, char16_t* buffer);

// The status shown when no worker thread could be started.
inline constexpr StatusCode kWorkerNotStarted = TBFW_E_NO_MEMORY;

// Runs the update for the window. The run's outcome: the worker's status, or the status
// that kept it from running (no ACPI device, no thread). Empty when nothing was decided:
// the computer runs on battery (before the run, or by the time the worker would write), or
// the worker's end could never be seen. The keyboard focus ends on the first button the
// run's end shows, since the button that had it (Update) is then hidden or was greyed:
// Shut down now after success, Exit after a failure, Update again on battery.
std::optional<StatusCode> RunUpdate(UpdateView& view, UpdateRunPlatform& platform, UpdateRunState& state);
