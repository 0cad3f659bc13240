#include "emulator/region_controller.h"

#include <utility>

RegionController::RegionController(std::vector<std::uint8_t> region, std::uint32_t version)
    : region_(std::move(region)), version_(version) {}

StatusCode RegionController::GetCurrentNvmVersion(std::uint32_t& version) {
  ++versionCalls_;
  if (versionFailure_) return *versionFailure_;
  version = version_;
  return kSuccess;
}

void RegionController::FailRead(std::size_t n, StatusCode status) { faults_.push_back({n, status, 0}); }

void RegionController::ShortenRead(std::size_t n, std::uint32_t returned) {
  faults_.push_back({n, kSuccess, returned});
}

StatusCode RegionController::ReadFirmware(std::uint32_t offset, std::uint32_t length, std::uint8_t* buffer) {
  reads_.push_back({offset, length});
  std::size_t returned = length;
  StatusCode status = kSuccess;
  for (const Fault& fault : faults_) {
    if (fault.call != reads_.size()) continue;
    if (fault.status != kSuccess) return fault.status;
    if (fault.returned < returned) returned = fault.returned;
  }
  const std::size_t available = offset < region_.size() ? region_.size() - offset : 0;
  if (returned > available) {
    status = kOutOfRegion;
    returned = available;
  }
  for (std::size_t i = 0; i < returned; ++i) buffer[i] = region_[offset + i];
  return status;
}
