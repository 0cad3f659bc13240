// What the update should end with for a scenario: the same procedure run in process over
// the same controller model, for checking what the real tool did on the emulated
// hardware. Usage: expected-outcome SCENARIO.ini IMAGE DOWNGRADABLE
// Prints "status=0x%08X written=0|1"; exit 2 on a bad scenario or file.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/update_worker.h"
#include "controller/image_validation.h"
#include "emulator/emulated_platform.h"
#include "emulator/emulated_wmi.h"
#include "emulator/scenario.h"

namespace {

bool ReadFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: expected-outcome SCENARIO.ini IMAGE DOWNGRADABLE\n", stderr);
    return 2;
  }
  const std::filesystem::path scenarioPath = argv[1];
  std::vector<std::uint8_t> scenario, image;
  ControllerModel model;
  std::u16string regionFile;
  if (!ReadFile(scenarioPath, scenario) || !ReadFile(argv[2], image)) {
    std::fputs("expected-outcome: cannot read the scenario or the image\n", stderr);
    return 2;
  }
  if (const std::string error = ReadScenario(scenario, model, regionFile); !error.empty()) {
    std::fprintf(stderr, "expected-outcome: %s\n", error.c_str());
    return 2;
  }
  if (!ReadFile(scenarioPath.parent_path() / std::filesystem::path(regionFile), model.region)) {
    std::fputs("expected-outcome: cannot read the region\n", stderr);
    return 2;
  }
  model.dataEntries = {{u"firmware.bin", image}};

  EmulatedComRuntime com(model);
  EmulatedDeviceIo io(model);
  EmulatedServiceManager scm(model);
  EmulatedWorkerPlatform platform(model);
  AcpiDevice acpi(io);
  ControllerClient client(com);
  StatusCode status = TBFW_E_NO_ACPI_DEVICE;
  // Without the device the window refuses before any worker runs.
  if (acpi.OpenAcpiDevice()) {
    UpdateWorkerEnvironment env{com,
                                acpi,
                                scm,
                                client,
                                platform,
                                [](ControllerAccess& c, std::span<const std::uint8_t> bytes, std::uint32_t& version,
                                   ValidationDetail& detail) { return ValidateImage(c, bytes, version, &detail); }};
    RunRequest request;
    request.downgradable = std::strtol(argv[3], nullptr, 10) != 0;
    status = RunUpdateWorker(env, request);
  }
  std::printf("status=0x%08X written=%d\n", status, model.writtenImages.empty() ? 0 : 1);
  return 0;
}
