#include "app/update_worker.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/run_log.h"
#include "app/sleep_hold.h"
#include "common/program_folder.h"
#include "common/sha256.h"
#include "controller/image_choice.h"
#include "controller/service_start.h"

namespace {

// The regular files of the data folder whose long names end in ".bin", as full paths in
// the order they are tried (ImageNameBefore). The system's "*.bin" search also matches a
// name by its 8.3 short name ("fw.binary" is "FW~1.BIN"), so the long name the search
// gives is checked again. Directories, links and device names are passed over by the
// search. A path that would not fit the path buffer is passed over, and no program path
// at all (never a folder relative to the current one) gives no image. More than
// kMostImages images give none either, and `tooMany` is set.
std::vector<std::u16string> FindImagePaths(WorkerPlatform& platform, bool& tooMany) {
  const std::u16string modulePath = platform.ModulePath();
  if (modulePath.empty()) return {};
  const std::u16string folder = DataFolderBeside(modulePath);
  const std::u16string pattern = folder + u"\\*.bin";
  if (pattern.size() >= kPathCapacity) return {};
  std::vector<std::u16string> names;
  platform.FindEntries(pattern, [&](std::u16string_view name) {
    if (IsImageName(name) && folder.size() + 1 + name.size() < kPathCapacity) names.emplace_back(name);
    tooMany = names.size() > kMostImages;
    return !tooMany;
  });
  if (tooMany) return {};
  std::sort(names.begin(), names.end(), ImageNameBefore);
  for (std::u16string& name : names) name = folder + u"\\" + name;
  return names;
}

// Reads the image whole into `block`, or gives the status that ends the run. A file that
// is empty, larger than any controller's NVM (told from its size, before anything is
// allocated or read), or comes back short is never used. The file stays open, and
// so locked against writers, as long as the caller holds it.
StatusCode LoadImage(WorkerPlatform& platform, const std::u16string& path, std::unique_ptr<ImageFile>& file,
                     std::unique_ptr<ImageBlock>& block, std::uint32_t& size) {
  if (path.empty()) return TBFW_E_NO_IMAGE;
  file = platform.OpenImageFile(path);
  if (!file) {
    const SystemError why = platform.LastFailure();
    return why && why.code == kSystemSharingViolation ? TBFW_E_IMAGE_IN_USE : TBFW_E_NO_IMAGE;
  }
  std::uint64_t fileSize = 0;
  if (!file->Size(fileSize) || fileSize == 0 || fileSize > kLargestImageSize) return TBFW_E_NO_IMAGE;
  size = static_cast<std::uint32_t>(fileSize);
  block = platform.AllocateImageBlock(size);
  if (!block) return TBFW_E_NO_MEMORY;
  std::uint32_t read = 0;
  if (!file->Read(block->data(), size, read) || read != size) return TBFW_E_NO_IMAGE;
  return kSuccess;
}

// Tells `events` of a step's result and passes the result on.
StatusCode Step(WorkerEvents& events, std::string_view step, StatusCode result) {
  events.OnStep(step, result);
  return result;
}

// The same for a step that asked the controller's provider, with the failed call's
// reason when one failed.
StatusCode ProviderStep(WorkerEvents& events, std::string_view step, StatusCode result,
                        const ControllerClient& client) {
  events.OnStep(step, result);
  if (result != kSuccess) events.OnSystemError(step, client.LastFailure());
  return result;
}

// One image in memory: the file stays open while the block lives. Declared in this order
// so the block is freed before the file is closed.
struct LoadedImage {
  std::unique_ptr<ImageFile> file;
  std::unique_ptr<ImageBlock> block;
  std::uint32_t size = 0;
  std::uint32_t version = 0;
  std::string sha256;  // of the bytes, taken once when the image is chosen
  std::span<const std::uint8_t> Bytes() const { return {block->data(), size}; }
};

// Loads and checks one image: the pin, then validation against the controller.
ImageVerdict CheckImage(UpdateWorkerEnvironment& env, WorkerEvents& events, const std::u16string& path,
                        LoadedImage& loaded) {
  if (StatusCode s = LoadImage(env.platform, path, loaded.file, loaded.block, loaded.size); s != kSuccess) {
    Step(events, "image", s);
    events.OnSystemError("image", env.platform.LastFailure());
    return {s, {}};
  }
  events.OnImage(path, loaded.Bytes());
  std::string digest = Sha256Hex(loaded.Bytes());
  // A tool pinned to one image takes no other, whatever validation would say of it.
  if (const std::optional<std::string> pin = env.platform.PinnedImageDigest(); pin && digest != *pin) {
    return {Step(events, "pinned image", TBFW_E_NO_IMAGE), {}};
  }
  ValidationDetail detail;
  if (StatusCode s = env.validate(env.client, loaded.Bytes(), loaded.version, detail); s != kSuccess) {
    ProviderStep(events, "validation", s, env.client);
    if (detail.field != nullptr) events.OnRefusedField(detail.field->name);
    return {s, {}};
  }
  return {kSuccess, std::move(digest)};
}

// Chooses the one image of the folder that fits the controller and leaves it in `chosen`,
// or gives the status that ends the run.
StatusCode ChooseFolderImage(UpdateWorkerEnvironment& env, WorkerEvents& events, LoadedImage& chosen) {
  bool tooMany = false;
  const std::vector<std::u16string> paths = FindImagePaths(env.platform, tooMany);
  if (tooMany) {
    events.OnStep("image", TBFW_E_NO_IMAGE);
    return TBFW_E_NO_IMAGE;
  }
  if (paths.empty()) {
    events.OnStep("image", TBFW_E_NO_IMAGE);
    events.OnSystemError("image", env.platform.LastFailure());
    return TBFW_E_NO_IMAGE;
  }
  const ImageChoice choice = ChooseImage(paths.size(), [&](std::size_t i) {
    LoadedImage candidate;
    ImageVerdict verdict = CheckImage(env, events, paths[i], candidate);
    // The first that fits stays in memory; a later one is only compared by its digest.
    if (verdict.status == kSuccess && !chosen.block) {
      chosen = std::move(candidate);
      chosen.sha256 = verdict.sha256;
    }
    return verdict;
  });
  if (choice.status == TBFW_E_AMBIGUOUS_IMAGE) {
    std::vector<std::u16string> fitting;
    for (std::size_t i : choice.fitting) fitting.push_back(paths[i]);
    events.OnImagesAmbiguous(fitting);
    return Step(events, "image choice", choice.status);
  }
  if (choice.status != kSuccess) return choice.status;
  events.OnImageChosen(paths[*choice.chosen]);
  return kSuccess;
}

// Tells `events` of a step and swallows whatever that throws: for the steps after a write
// the provider took, whose failure must not become the run's.
void TellQuietly(const std::function<void()>& tell) noexcept {
  try {
    tell();
  } catch (...) {
  }
}

// After a write the provider took, nothing may turn the run into a failure: the step's log
// line and the record are written as far as they can be, and a record that could not be
// saved is told, since a detection script will not see this write.
void AfterWrite(UpdateWorkerEnvironment& env, WorkerEvents& events, const LoadedImage& image) noexcept {
  TellQuietly([&] { events.OnStep("write", kSuccess); });
  if (env.record == nullptr) return;
  bool saved = false;
  TellQuietly([&] {
    saved = env.record->Save({image.version, image.sha256, std::u16string(env.client.ControllerId())});
  });
  TellQuietly([&] { events.OnStep("record", saved ? 0 : 1); });
  if (!saved) TellQuietly([&] { events.OnNote("the record of this write was not saved: detection will not see it"); });
}

// Whether a write would repeat one: the controller already runs the image's version, or
// the record shows this very image written since the system started (the controller
// reports the new version only after the power-off). kSuccess when there is something to
// write; a record that cannot be read leaves that unknown.
StatusCode RepeatOf(UpdateWorkerEnvironment& env, WorkerEvents& events, std::uint32_t currentVersion,
                    const LoadedImage& image) {
  if (image.version == currentVersion) {
    events.OnNote("the controller already runs the image's version");
    return TBFW_E_ALREADY_CURRENT;
  }
  if (env.record == nullptr) return kSuccess;
  RecordedImage recorded;
  switch (env.record->Load(recorded)) {
    case RecordRead::kNone: return kSuccess;
    case RecordRead::kUnreadable:
      events.OnNote("the record of earlier writes cannot be read: whether this image is written is unknown");
      return TBFW_E_RECORD_UNREADABLE;
    case RecordRead::kRead: break;
  }
  if (recorded.thisBoot && recorded.sha256 == image.sha256) {
    events.OnNote("this image was written since the computer started: a power-off completes it");
    return TBFW_E_WRITE_PENDING;
  }
  return kSuccess;
}

// The image chosen, checked and, where the rules allow, written.
StatusCode UpdateFromFolder(UpdateWorkerEnvironment& env, const RunRequest& request, WorkerEvents& events,
                            std::uint32_t currentVersion, LoadedImage& image) {
  if (StatusCode s = ChooseFolderImage(env, events, image); s != kSuccess) return s;
  events.OnImageVersion(image.version);
  if (image.version < currentVersion && !request.downgradable) return Step(events, "downgrade rule", TBFW_E_DOWNGRADE);
  // The window writes an image that is already there, as a user asked it to; an
  // unattended run, which a deployment repeats, writes nothing twice unless forced. A check
  // reports a pending write (an equal version it tells from the versions).
  const StatusCode repeat = RepeatOf(env, events, currentVersion, image);
  if (request.CheckOnly()) return repeat == TBFW_E_ALREADY_CURRENT ? kSuccess : repeat;
  if (request.mode == RunMode::kSilent && !request.force && repeat != kSuccess) return Step(events, "repeat", repeat);
  // The power source was checked before the controller was powered; the adapter may have
  // been pulled while the controller settled.
  if (env.platform.QueryPowerSource() == PowerSource::kBattery) return Step(events, "power source", TBFW_E_ON_BATTERY);
  StatusCode written = kSuccess;
  {
    // Closing the lid or pressing a button would sleep the computer mid-write whatever the
    // execution state says: held off for the write alone, put back as soon as it ends.
    const SleepHold hold(env.scheme, events);
    if (hold.State() == HoldState::kLeftChanged) return Step(events, "power scheme", TBFW_E_POWER_SCHEME);
    written = env.client.UpdateFirmware(image.Bytes());
  }
  if (written != kSuccess) return ProviderStep(events, "write", written, env.client);
  AfterWrite(env, events, image);
  return kSuccess;
}

// What a run that reached the controller finds of the last recorded write: active once
// the controller reports its version; not activated when it was made in an earlier boot
// and the controller still runs another version (a restart that kept the controller
// powered, or a write that did not take).
void CheckActivation(UpdateWorkerEnvironment& env, WorkerEvents& events, std::uint32_t currentVersion) noexcept {
  if (env.record == nullptr) return;
  TellQuietly([&] {
    RecordedImage recorded;
    if (env.record->Load(recorded) != RecordRead::kRead) return;
    if (recorded.nvmVersion == currentVersion) {
      env.record->MarkActivation(kActive);
    } else if (!recorded.thisBoot) {
      events.OnNote("the recorded write of NVM version " + Hex32(recorded.nvmVersion) +
                    " is not activated: the controller still runs " + Hex32(currentVersion));
      env.record->MarkActivation(kNotActivated);
    }
  });
}

}  // namespace

const char* RunOutcomeWord(StatusCode status) {
  switch (status) {
    case kSuccess: return "written";
    case TBFW_E_ALREADY_CURRENT: return "already current";
    case TBFW_E_WRITE_PENDING: return "pending";
    case TBFW_E_DOWNGRADE:
    case TBFW_E_AMBIGUOUS_IMAGE: return "refused";
    default: return IsVerdictOnImage(status) ? "refused" : "failed";
  }
}

namespace {

// Every run that reached the controller and could have written leaves its attempt on
// record, whatever it came to; a record that cannot be saved is told.
void RecordAttempt(UpdateWorkerEnvironment& env, WorkerEvents& events, const RunRequest& request,
                   const LoadedImage& image, StatusCode status) noexcept {
  if (env.record == nullptr || request.CheckOnly()) return;
  bool saved = false;
  TellQuietly([&] {
    AttemptedImage attempt;
    if (image.block) {
      attempt.nvmVersion = image.version;
      attempt.sha256 = image.sha256;
    }
    attempt.status = status;
    attempt.outcome = RunOutcomeWord(status);
    saved = env.record->SaveAttempt(attempt);
  });
  if (!saved) TellQuietly([&] { events.OnNote("the record of this attempt was not saved"); });
}

StatusCode UpdateController(UpdateWorkerEnvironment& env, const RunRequest& request, WorkerEvents& events) {
  if (!env.client.ConnectController()) return ProviderStep(events, "connect", TBFW_E_NO_PROVIDER, env.client);
  // A success always brings the version: without it the client fails the call, as the
  // downgrade rule cannot be applied.
  std::uint32_t currentVersion = 0;
  if (StatusCode s = env.client.GetCurrentNvmVersion(currentVersion); s != kSuccess) {
    return ProviderStep(events, "controller version", s, env.client);
  }
  events.OnController(env.client.ControllerId(), currentVersion);
  CheckActivation(env, events, currentVersion);
  LoadedImage image;
  StatusCode status = kWorkerException;
  try {
    status = UpdateFromFolder(env, request, events, currentVersion, image);
  } catch (...) {
    status = kWorkerException;
  }
  RecordAttempt(env, events, request, image, status);
  return status;
}

// Runs `step`; an exception that escapes it becomes kWorkerException. The procedure's
// steps are contained one by one, so the waits and the power-off after a throwing step
// still happen.
template <typename Step>
StatusCode Contained(Step&& step) noexcept {
  try {
    return step();
  } catch (...) {
    return kWorkerException;
  }
}

}  // namespace

bool IsImageName(std::u16string_view name) {
  constexpr std::u16string_view kExtension = u".bin";
  if (name.size() < kExtension.size()) return false;
  const std::u16string_view end = name.substr(name.size() - kExtension.size());
  for (std::size_t i = 0; i < kExtension.size(); ++i) {
    // ASCII case only: no other letter stands for these in a file name.
    const char16_t c = end[i] >= u'A' && end[i] <= u'Z' ? static_cast<char16_t>(end[i] - u'A' + u'a') : end[i];
    if (c != kExtension[i]) return false;
  }
  return true;
}

StatusCode RunUpdateWorker(UpdateWorkerEnvironment& env, const RunRequest& request) {
  WorkerEvents silent;
  WorkerEvents& events = env.events != nullptr ? *env.events : silent;
  // The image block and the file are released inside, before the final wait.
  const StatusCode status = Contained([&] {
    env.com.Initialize();
    std::uint32_t ignored = 0;
    const bool on = env.acpi.CallAcpiMethod(kDevsTag, kControllerAcpiDevice, 1, ignored);
    events.OnStep("power on", on ? 0 : 1);
    if (!on) events.OnSystemError("power on", env.acpi.LastFailure());
    const int started = StartControllerService(env.services, kControllerServiceName);
    events.OnStep("start service", static_cast<std::uint32_t>(started));
    if (started != kServiceStarted) events.OnSystemError("start service", env.services.LastFailure());
    env.platform.Sleep(kSettleMilliseconds);
    return UpdateController(env, request, events);
  });

  Contained([&] {
    env.platform.Sleep(kSettleMilliseconds);
    return kSuccess;
  });
  Contained([&] {
    std::uint32_t ignored = 0;
    const bool off = env.acpi.CallAcpiMethod(kDevsTag, kControllerAcpiDevice, 0, ignored);
    events.OnStep("power off", off ? 0 : 1);
    if (!off) events.OnSystemError("power off", env.acpi.LastFailure());
    return kSuccess;
  });
  Contained([&] {
    // The connection belongs to this thread's COM apartment and goes before it does.
    env.client.Disconnect();
    env.com.Uninitialize();
    return kSuccess;
  });
  return status;
}
