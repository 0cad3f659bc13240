// update-harness [--downgradable] [--settle-ms N]: runs the tool's update procedure with
// the production Win32 adapters and the real validation, on whatever controller the
// prefix offers, and prints "status=0x%08X". The image is the first *.bin of the data
// folder beside this program, as for the tool. Only the two fixed waits may be shortened.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "app/update_worker.h"
#include "controller/image_validation.h"
#include "platform/win32/device_io_win32.h"
#include "platform/win32/service_manager_win32.h"
#include "platform/win32/worker_platform_win32.h"
#include "platform/win32/wmi_win32.h"

namespace {

// The production platform with the settle waits cut to `settle` milliseconds.
class ShortWaits final : public WorkerPlatform {
 public:
  explicit ShortWaits(std::uint32_t settle) : settle_(settle) {}
  void Sleep(std::uint32_t milliseconds) override {
    inner_.Sleep(milliseconds == kSettleMilliseconds ? settle_ : milliseconds);
  }
  std::u16string ModulePath() override { return inner_.ModulePath(); }
  bool FindEntries(const std::u16string& pattern, const std::function<bool(std::u16string_view)>& visit) override {
    return inner_.FindEntries(pattern, visit);
  }
  std::unique_ptr<ImageFile> OpenImageFile(const std::u16string& path) override { return inner_.OpenImageFile(path); }
  std::unique_ptr<ImageBlock> AllocateImageBlock(std::uint32_t size) override {
    return inner_.AllocateImageBlock(size);
  }

 private:
  Win32WorkerPlatform inner_;
  std::uint32_t settle_;
};

StatusCode Validate(ControllerAccess& controller, std::span<const std::uint8_t> image, std::uint32_t& version,
                    ValidationDetail& detail) {
  return ValidateImage(controller, image, version, &detail);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  RunRequest request;
  std::uint32_t settle = kSettleMilliseconds;
  for (int i = 1; i < argc; ++i) {
    if (std::wcscmp(argv[i], L"--downgradable") == 0) {
      request.downgradable = true;
    } else if (std::wcscmp(argv[i], L"--settle-ms") == 0 && i + 1 < argc) {
      settle = static_cast<std::uint32_t>(std::wcstoul(argv[++i], nullptr, 10));
    } else {
      std::fprintf(stderr, "usage: update-harness [--downgradable] [--settle-ms N]\n");
      return 2;
    }
  }
  Win32DeviceIo io;
  AcpiDevice acpi(io);
  // The tool opens the device before it starts the worker and stops when it cannot.
  StatusCode status = TBFW_E_NO_ACPI_DEVICE;
  if (acpi.OpenAcpiDevice()) {
    Win32ComRuntime com;
    Win32ServiceManager services;
    ControllerClient client(com);
    ShortWaits platform(settle);
    UpdateWorkerEnvironment env{com, acpi, services, client, platform, Validate};
    status = RunUpdateWorker(env, request);
  }
  std::printf("status=0x%08X\n", static_cast<unsigned>(status));
  return 0;
}
