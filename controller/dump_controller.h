// A controller read from a copy of its active NVM region (a dump) at a given NVM version:
// what an image is checked against when the controller itself is not at hand.
#pragma once

#include <cstdint>
#include <vector>

#include "controller/controller_access.h"

class DumpController : public ControllerAccess {
 public:
  // The answer to a read that reaches past the end of the region, as the provider gives
  // it: the bytes inside the region are returned, the rest are left as they were.
  static constexpr StatusCode kOutOfRegion = 0x57;

  DumpController(std::vector<std::uint8_t> region, std::uint32_t version);

  StatusCode GetCurrentNvmVersion(std::uint32_t& version) override;
  StatusCode ReadFirmware(std::uint32_t offset, std::uint32_t length, std::uint8_t* buffer) override;

 private:
  std::vector<std::uint8_t> region_;
  std::uint32_t version_;
};
