// What image validation needs of the controller: its NVM version and 4-byte reads of its
// active NVM region. The management client provides it over WMI; tests provide it from an
// emulated controller.
#pragma once

#include <cstdint>

#include "common/status_codes.h"

class ControllerAccess {
 public:
  virtual ~ControllerAccess() = default;
  // The controller's NVM version. On 0 `version` holds it; otherwise it is not written.
  virtual StatusCode GetCurrentNvmVersion(std::uint32_t& version) = 0;
  // `length` bytes of the active region at `offset` into `buffer`. On 0 all of them were
  // read; otherwise the buffer holds nothing to be used.
  virtual StatusCode ReadFirmware(std::uint32_t offset, std::uint32_t length, std::uint8_t* buffer) = 0;
};
