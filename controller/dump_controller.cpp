#include "controller/dump_controller.h"

#include <algorithm>
#include <utility>

DumpController::DumpController(std::vector<std::uint8_t> region, std::uint32_t version)
    : region_(std::move(region)), version_(version) {}

StatusCode DumpController::GetCurrentNvmVersion(std::uint32_t& version) {
  version = version_;
  return kSuccess;
}

StatusCode DumpController::ReadFirmware(std::uint32_t offset, std::uint32_t length, std::uint8_t* buffer) {
  const std::size_t available = offset < region_.size() ? region_.size() - offset : 0;
  const std::size_t returned = std::min<std::size_t>(length, available);
  if (returned > 0) std::copy_n(region_.begin() + static_cast<std::ptrdiff_t>(offset), returned, buffer);
  return returned == length ? kSuccess : kOutOfRegion;
}
