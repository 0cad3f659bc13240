#include "app/unattended_run.h"

#include <array>

#include "app/update_run.h"

namespace {

// Passes every event on to the log and keeps the two versions the verdict of /check needs.
class VersionRecorder final : public WorkerEvents {
 public:
  explicit VersionRecorder(RunLog& log) : log_(log) {}
  void OnStep(std::string_view step, std::uint32_t result) override { log_.OnStep(step, result); }
  void OnSystemError(std::string_view step, SystemError error) override { log_.OnSystemError(step, error); }
  void OnController(std::u16string_view id, std::uint32_t nvmVersion) override {
    controllerVersion = nvmVersion;
    haveController = true;
    log_.OnController(id, nvmVersion);
  }
  void OnImage(std::u16string_view path, std::span<const std::uint8_t> bytes) override { log_.OnImage(path, bytes); }
  void OnRefusedField(std::u16string_view field) override { log_.OnRefusedField(field); }
  void OnImageChosen(std::u16string_view path) override { log_.OnImageChosen(path); }
  void OnImagesAmbiguous(std::span<const std::u16string> paths) override { log_.OnImagesAmbiguous(paths); }
  void OnNote(std::string_view text) override { log_.OnNote(text); }
  void OnImageVersion(std::uint32_t nvmVersion) override {
    imageVersion = nvmVersion;
    haveImage = true;
    log_.OnImageVersion(nvmVersion);
  }

  std::uint32_t controllerVersion = 0, imageVersion = 0;
  bool haveController = false, haveImage = false;

 private:
  RunLog& log_;
};

// Holds the session for as long as it lives.
class BusyScope {
 public:
  BusyScope(BusyHold& hold, const char16_t* reason, RunLog& log) : hold_(hold) {
    if (!hold_.Begin(reason)) log.Write("the session could not be held open during the update");
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
  ~BusyScope() { hold_.End(); }

 private:
  BusyHold& hold_;
};

}  // namespace

namespace {

// Fills `outcome` as the run goes: once the worker has returned, its status stands.
void RunChecked(const RunRequest& request, UnattendedEnvironment& env, RunLog& log, RunOutcome& outcome,
                bool& workerEnded) {
  if (!env.preconditions.EnsureAcpiDevice()) {
    log.Write("the ACPI device cannot be opened");
    log.OnSystemError("ACPI device", env.preconditions.AcpiFailure());
    outcome.end = RunEnd::kFinished;
    outcome.status = TBFW_E_NO_ACPI_DEVICE;
    return;
  }
  // A failing query counts as mains power, as it does for the window.
  if (env.preconditions.QueryPowerSource() == PowerSource::kBattery) {
    log.Write("the computer runs on battery: nothing done");
    outcome.end = RunEnd::kOnBattery;
    return;
  }

  VersionRecorder recorder(log);
  env.worker.events = &recorder;
  outcome.end = RunEnd::kFinished;
  {
    std::array<char16_t, kMessageCapacity> reason{};
    LoadBusyReason(env.lookup, reason.data());
    const BusyScope busy(env.busy, reason.data(), log);
    outcome.status = RunUpdateWorker(env.worker, request);
    workerEnded = true;
  }
  env.worker.events = nullptr;
  if (outcome.status == TBFW_E_ON_BATTERY) {
    log.Write("the computer went on battery before the write: nothing written");
    outcome.end = RunEnd::kOnBattery;
  }
  outcome.haveVersions = recorder.haveController && recorder.haveImage;
  outcome.controllerVersion = recorder.controllerVersion;
  outcome.imageVersion = recorder.imageVersion;

  // A write pending since earlier in this boot is completed by the same power-off.
  const bool written = outcome.status == kSuccess || outcome.status == TBFW_E_WRITE_PENDING;
  if (request.mode == RunMode::kSilent && request.shutdown && written) {
    const std::uint32_t refused = env.session.RequestPowerOff();
    outcome.powerOffStarted = refused == 0;
    log.Write(outcome.powerOffStarted ? "the computer is powering off"
                                      : "the computer could not be powered off: system error " + Hex32(refused) +
                                            "; a power-off completes the update");
  }
}

}  // namespace

RunOutcome RunUnattended(const RunRequest& request, UnattendedEnvironment& env, RunLog& log) {
  RunOutcome outcome;
  outcome.mode = request.mode;
  bool workerEnded = false;
  // The worker contains its own exceptions and powers the controller off. What is left to
  // throw here (the log's or the checks' memory) ends the run as a failure before the
  // worker ran, and leaves its outcome as it was after: a write the provider took is
  // never reported as a failure.
  try {
    RunChecked(request, env, log, outcome, workerEnded);
  } catch (...) {
    env.worker.events = nullptr;
    if (!workerEnded) {
      outcome = RunOutcome{};
      outcome.mode = request.mode;
      outcome.end = RunEnd::kFinished;
      outcome.status = kWorkerException;
    }
  }
  return outcome;
}
