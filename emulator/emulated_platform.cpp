#include "emulator/emulated_platform.h"

#include <algorithm>
#include <string>

#include "common/program_folder.h"
#include "common/status_codes.h"
#include "common/utf8.h"

namespace {

constexpr DeviceHandle kAcpiHandle = 0x4AC;
constexpr ServiceHandle kManagerHandle = 0x5C;
constexpr ServiceHandle kServiceHandle = 0x5E;
constexpr std::uint32_t kDevsTag = 0x53564544;
constexpr std::uint32_t kErrorServiceAlreadyRunning = 1056;
constexpr std::uint32_t kErrorServiceRequestTimeout = 1053;
// The codes the system gives for the failures the model plays.
constexpr std::uint32_t kErrorInvalidFunction = 1;
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorNotEnoughMemory = 8;
constexpr std::uint32_t kErrorReadFault = 30;
constexpr std::uint32_t kErrorServiceDoesNotExist = 1060;

std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

class EmulatedFile final : public ImageFile {
 public:
  EmulatedFile(ControllerModel& model, const std::vector<std::uint8_t>& bytes, LastSystemError& last)
      : model_(model), bytes_(bytes), last_(last) {
    ++model_.openHandles;
  }
  ~EmulatedFile() override {
    --model_.openHandles;
    model_.log.push_back("CloseFile");
  }
  EmulatedFile(const EmulatedFile&) = delete;
  EmulatedFile& operator=(const EmulatedFile&) = delete;
  bool Size(std::uint64_t& size) override {
    if (model_.Has(Fault::kSizeFails)) {
      last_.Failed("GetFileSize", kErrorInvalidHandle);
      return false;
    }
    last_.Succeeded();
    size = bytes_.size();
    return true;
  }
  bool Read(std::uint8_t* buffer, std::uint32_t size, std::uint32_t& read) override {
    if (model_.Has(Fault::kReadFails)) {
      last_.Failed("ReadFile", kErrorReadFault);
      return false;
    }
    last_.Succeeded();
    read = std::min<std::uint32_t>(size, static_cast<std::uint32_t>(bytes_.size()));
    if (model_.Has(Fault::kShortRead) && read > 0) --read;
    std::copy_n(bytes_.begin(), read, buffer);
    return true;
  }

 private:
  ControllerModel& model_;
  const std::vector<std::uint8_t>& bytes_;
  LastSystemError& last_;
};

class EmulatedBlock final : public ImageBlock {
 public:
  EmulatedBlock(ControllerModel& model, std::uint32_t size) : model_(model), bytes_(size) {}
  ~EmulatedBlock() override { model_.log.push_back("FreeImageBlock"); }
  EmulatedBlock(const EmulatedBlock&) = delete;
  EmulatedBlock& operator=(const EmulatedBlock&) = delete;
  std::uint8_t* data() override { return bytes_.data(); }

 private:
  ControllerModel& model_;
  std::vector<std::uint8_t> bytes_;
};

// Whether the system's "*.bin" search lists a file of this name. It matches the long name
// or the 8.3 short name, in any case; the short name keeps the first three characters of
// the last extension, so "fw.binary" (FW~1.BIN) and "img.bin_old" (IMG~1.BIN) are listed.
bool MatchesBinSearch(std::u16string_view name) {
  const std::size_t dot = name.rfind(u'.');
  if (dot == std::u16string_view::npos || name.size() - dot < 4) return false;
  for (std::size_t i = 0; i < 3; ++i) {
    if ((name[dot + 1 + i] | 0x20) != u"bin"[i]) return false;
  }
  return true;
}

}  // namespace

DeviceHandle EmulatedDeviceIo::OpenDevice(const std::u16string& path) {
  model_.log.push_back("OpenDevice " + ToUtf8(path));
  if (model_.Has(Fault::kNoAcpiDevice) || path != u"\\\\.\\HVKACPI") {
    last_.Failed("CreateFileW", kErrorFileNotFound);
    return kInvalidDevice;
  }
  last_.Succeeded();
  ++model_.openHandles;
  return kAcpiHandle;
}

bool EmulatedDeviceIo::Control(DeviceHandle device, std::uint32_t code, const std::uint8_t* in, std::uint32_t inLength,
                               std::uint8_t* out, std::uint32_t outLength, std::uint32_t& returned) {
  requests.emplace_back(in, in + inLength);
  if (device != kAcpiHandle || code != 0x0022240C || model_.Has(Fault::kAcpiControlFails) || inLength < 16) {
    model_.log.push_back("DeviceIoControl failed");
    last_.Failed("DeviceIoControl", kErrorInvalidFunction);
    return false;
  }
  last_.Succeeded();
  const std::uint32_t tag = U32(in), device_id = U32(in + 8), value = U32(in + 12);
  if (tag == kDevsTag && U32(in + 4) == 8 && device_id == 0x00060057) {
    model_.log.push_back("DEVS " + std::to_string(value));
    model_.devsRequests.push_back(value);
    model_.powered = value != 0;
  }
  returned = std::min(model_.acpiReplyBytes, outLength);
  for (std::uint32_t i = 0; i < returned; ++i) out[i] = static_cast<std::uint8_t>(0xA0 + i);
  return true;
}

void EmulatedDeviceIo::Close(DeviceHandle device) {
  if (device == kAcpiHandle) --model_.openHandles;
  model_.log.push_back("CloseDevice");
}

// Only the rights starting needs are granted (SC_MANAGER_CONNECT; SERVICE_QUERY_STATUS |
// SERVICE_START): asking for more or other rights is refused, as under a strict policy.
ServiceHandle EmulatedServiceManager::OpenManagerHandle(std::uint32_t access) {
  if (model_.Has(Fault::kNoServiceManager) || access != 0x0001) {
    last_.Failed("OpenSCManagerW", kErrorAccessDenied);
    return 0;
  }
  last_.Succeeded();
  ++model_.openHandles;
  return kManagerHandle;
}

ServiceHandle EmulatedServiceManager::OpenServiceHandle(ServiceHandle manager, const std::u16string& name,
                                                        std::uint32_t access) {
  if (manager != kManagerHandle || model_.Has(Fault::kServiceMissing) || name != u"ThunderboltService" ||
      access != 0x0014) {
    last_.Failed("OpenServiceW", kErrorServiceDoesNotExist);
    return 0;
  }
  last_.Succeeded();
  ++model_.openHandles;
  return kServiceHandle;
}

bool EmulatedServiceManager::Start(ServiceHandle service, std::uint32_t& error) {
  model_.log.push_back("StartService");
  if (service != kServiceHandle) return false;
  if (model_.Has(Fault::kServiceWontStart)) {
    error = kErrorServiceRequestTimeout;
    last_.Failed("StartServiceW", error);
    return false;
  }
  if (model_.serviceRunning) {
    error = kErrorServiceAlreadyRunning;
    return false;
  }
  model_.serviceRunning = true;
  return true;
}

void EmulatedServiceManager::Close(ServiceHandle handle) {
  if (handle == kManagerHandle || handle == kServiceHandle) --model_.openHandles;
}

void EmulatedWorkerPlatform::Sleep(std::uint32_t milliseconds) {
  model_.log.push_back("Sleep " + std::to_string(milliseconds));
  if (model_.unpluggedWhileSettling) {
    model_.powerSource = PowerSource::kBattery;
    model_.unpluggedWhileSettling = false;
  }
}

PowerSource EmulatedWorkerPlatform::QueryPowerSource() {
  model_.log.push_back("QueryPowerSource");
  return model_.powerSource;
}

bool EmulatedWorkerPlatform::FindEntries(const std::u16string& pattern,
                                         const std::function<bool(std::u16string_view)>& visit) {
  model_.log.push_back("FindEntries " + ToUtf8(pattern));
  if (pattern != DataFolderBeside(model_.modulePath) + u"\\*.bin") {
    last_.Failed("FindFirstFileW", kErrorFileNotFound);
    return false;
  }
  last_.Succeeded();
  for (const DataEntry& entry : model_.dataEntries) {
    if (!MatchesBinSearch(entry.name)) continue;
    if (!visit(entry.name)) break;
  }
  return true;
}

std::unique_ptr<ImageFile> EmulatedWorkerPlatform::OpenImageFile(const std::u16string& path) {
  model_.log.push_back("OpenFile " + ToUtf8(path));
  for (const DataEntry& entry : model_.dataEntries) {
    if (path == DataFolderBeside(model_.modulePath) + u"\\" + entry.name) {
      if (entry.heldByAWriter) {
        last_.Failed("CreateFileW", kSystemSharingViolation);
        return nullptr;
      }
      last_.Succeeded();
      return std::make_unique<EmulatedFile>(model_, entry.bytes, last_);
    }
  }
  last_.Failed("CreateFileW", kErrorFileNotFound);
  return nullptr;
}

std::unique_ptr<ImageBlock> EmulatedWorkerPlatform::AllocateImageBlock(std::uint32_t size) {
  model_.log.push_back("AllocateImageBlock " + std::to_string(size));
  if (model_.Has(Fault::kNoMemory)) {
    last_.Failed("GlobalAlloc", kErrorNotEnoughMemory);
    return nullptr;
  }
  last_.Succeeded();
  return std::make_unique<EmulatedBlock>(model_, size);
}
