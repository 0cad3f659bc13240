#include "emulator/win32/provider_world_win32.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/sha256.h"
#include "common/utf8.h"
#include "emulator/scenario.h"
#include "platform/win32/unique_handle.h"

namespace {

constexpr const char* kRoot = "C:\\TbtEmulator\\";

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

void AppendLine(const char* file, const std::string& line) {
  std::ofstream(std::string(kRoot) + "out\\" + file, std::ios::app) << line << '\n';
}

bool ServiceRuns(const wchar_t* name) {
  const UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return false;
  const UniqueService service(OpenServiceW(manager.get(), name, SERVICE_QUERY_STATUS));
  SERVICE_STATUS status{};
  return service && QueryServiceStatus(service.get(), &status) && status.dwCurrentState == SERVICE_RUNNING;
}

}  // namespace

std::shared_ptr<ProviderWorld> ProviderWorld::Load() {
  auto world = std::make_shared<ProviderWorld>();
  std::vector<std::uint8_t> scenario;
  if (!ReadWholeFile(std::string(kRoot) + "scenario.ini", scenario)) {
    AppendLine("provider-errors.txt", "no scenario.ini");
    return nullptr;
  }
  std::u16string regionFile;
  if (const std::string error = ReadScenario(scenario, world->model_, regionFile); !error.empty()) {
    AppendLine("provider-errors.txt", error);
    return nullptr;
  }
  const std::string region = ToUtf8(regionFile);
  const bool absolute = region.size() > 1 && region[1] == ':';
  if (!ReadWholeFile(absolute ? region : kRoot + region, world->model_.region)) {
    AppendLine("provider-errors.txt", "cannot read the region " + region);
    return nullptr;
  }
  return world;
}

void ProviderWorld::Refresh() {
  std::vector<std::uint8_t> power;
  model_.powered = ReadWholeFile(std::string(kRoot) + "state\\power", power) && !power.empty() && power[0] == '1';
  model_.serviceRunning = ServiceRuns(L"ThunderboltService");
}

void ProviderWorld::Record() {
  for (; loggedLines_ < model_.log.size(); ++loggedLines_) AppendLine("provider-calls.txt", model_.log[loggedLines_]);
  for (; recordedImages_ < model_.writtenImages.size(); ++recordedImages_) {
    const std::vector<std::uint8_t>& image = model_.writtenImages[recordedImages_];
    const std::string sha = Sha256Hex(image);
    std::ofstream(std::string(kRoot) + "out\\written-image-" + sha + ".bin", std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    AppendLine("written-images.txt", sha + " " + std::to_string(image.size()));
  }
}
