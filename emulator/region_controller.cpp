#include "emulator/region_controller.h"

StatusCode RegionController::GetCurrentNvmVersion(std::uint32_t& version) {
  ++versionCalls_;
  if (versionFailure_) return *versionFailure_;
  return DumpController::GetCurrentNvmVersion(version);
}

void RegionController::FailRead(std::size_t n, StatusCode status) { faults_.push_back({n, status, 0}); }

void RegionController::ShortenRead(std::size_t n, std::uint32_t returned) {
  faults_.push_back({n, kSuccess, returned});
}

StatusCode RegionController::ReadFirmware(std::uint32_t offset, std::uint32_t length, std::uint8_t* buffer) {
  reads_.push_back({offset, length});
  std::uint32_t returned = length;
  for (const Fault& fault : faults_) {
    if (fault.call != reads_.size()) continue;
    if (fault.status != kSuccess) return fault.status;
    if (fault.returned < returned) returned = fault.returned;
  }
  return DumpController::ReadFirmware(offset, returned, buffer);
}
