#include "app/update_worker.h"

#include <memory>
#include <string>

#include "common/program_folder.h"
#include "common/sha256.h"
#include "controller/service_start.h"

namespace {

// The first regular file of the folder whose name ends in ".bin", in the order the system
// lists them, as a full path; empty when there is none. The system's "*.bin" search also
// matches a name by its 8.3 short name ("fw.binary" is "FW~1.BIN"), so the long name the
// search gives is checked again. Directories, links and device names are passed over by
// the search. A path that would not fit the path buffer, or no program path at all (never
// a folder relative to the current one), counts as no image rather than being cut.
std::u16string FindImagePath(WorkerPlatform& platform) {
  const std::u16string modulePath = platform.ModulePath();
  if (modulePath.empty()) return {};
  const std::u16string folder = DataFolderBeside(modulePath);
  const std::u16string pattern = folder + u"\\*.bin";
  if (pattern.size() >= kPathCapacity) return {};
  std::u16string image;
  platform.FindEntries(pattern, [&](std::u16string_view name) {
    if (!IsImageName(name)) return true;
    image = folder + u"\\" + std::u16string(name);
    if (image.size() >= kPathCapacity) image.clear();
    return false;
  });
  return image;
}

// Reads the image whole into `block`, or gives the status that ends the run. A file that
// is empty, larger than any controller's NVM (told from its size, before anything is
// allocated or read), or comes back short is never used. The file stays open, and
// so locked against writers, as long as the caller holds it.
StatusCode LoadImage(WorkerPlatform& platform, const std::u16string& path, std::unique_ptr<ImageFile>& file,
                     std::unique_ptr<ImageBlock>& block, std::uint32_t& size) {
  if (path.empty()) return TBFW_E_NO_IMAGE;
  file = platform.OpenImageFile(path);
  if (!file) return TBFW_E_NO_IMAGE;
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

StatusCode UpdateController(UpdateWorkerEnvironment& env, const RunRequest& request, WorkerEvents& events) {
  if (!env.client.ConnectController()) return ProviderStep(events, "connect", TBFW_E_NO_PROVIDER, env.client);
  // A success always brings the version: without it the client fails the call, as the
  // downgrade rule cannot be applied.
  std::uint32_t currentVersion = 0;
  if (StatusCode s = env.client.GetCurrentNvmVersion(currentVersion); s != kSuccess) {
    return ProviderStep(events, "controller version", s, env.client);
  }
  events.OnController(env.client.ControllerId(), currentVersion);

  // Declared in this order so the block is freed before the file is closed.
  std::unique_ptr<ImageFile> file;
  std::unique_ptr<ImageBlock> block;
  std::uint32_t size = 0;
  const std::u16string path = FindImagePath(env.platform);
  if (StatusCode s = LoadImage(env.platform, path, file, block, size); s != kSuccess) {
    Step(events, "image", s);
    events.OnSystemError("image", env.platform.LastFailure());
    return s;
  }
  const std::span<const std::uint8_t> image(block->data(), size);
  events.OnImage(path, image);
  // A tool pinned to one image takes no other, whatever validation would say of it.
  if (const std::optional<std::string> pin = env.platform.PinnedImageDigest(); pin && Sha256Hex(image) != *pin) {
    return Step(events, "pinned image", TBFW_E_NO_IMAGE);
  }

  std::uint32_t imageVersion = 0;
  if (StatusCode s = env.validate(env.client, image, imageVersion); s != kSuccess) {
    return ProviderStep(events, "validation", s, env.client);
  }
  events.OnImageVersion(imageVersion);
  if (imageVersion < currentVersion && request.downgradable == 0)
    return Step(events, "downgrade rule", TBFW_E_DOWNGRADE);
  if (request.CheckOnly()) return kSuccess;
  const StatusCode written = ProviderStep(events, "write", env.client.UpdateFirmware(image), env.client);
  if (written == kSuccess && env.record != nullptr) {
    const bool saved = env.record->Save({imageVersion, Sha256Hex(image), std::u16string(env.client.ControllerId())});
    events.OnStep("record", saved ? 0 : 1);
  }
  return written;
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
