// Whether a firmware image belongs on the controller fitted to the board: supported
// generation, same generation and port variant, level bits, the field-check table and,
// for generation 3, the board maker's identity and the controller's mode (enumeration,
// flash size, PD section).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "common/status_codes.h"
#include "controller/controller_access.h"
#include "controller/image_layout.h"
#include "controller/nvm_field_checks.h"
#include "controller/nvm_layout.h"

// What a validation saw, for diagnostics.
struct ValidationDetail {
  NvmLayout controller;  // as far as it was read
  NvmLayout image;       // as far as it was parsed
  // The field whose comparison ended validation, when one did: a row of kNvmFieldChecks,
  // whose index is then in `row`, one of kBoardIdentityChecks or kControllerModeChecks, or
  // kPowerDeliveryCheck.
  const NvmFieldCheck* field = nullptr;
  std::optional<std::size_t> row;
};

// Runs the checks in order; the first failing one decides. On 0 `imageVersion` holds the
// image's NVM version; otherwise it is not written. The controller is only read.
StatusCode ValidateImage(ControllerAccess& controller, ImageBytes image, std::uint32_t& imageVersion,
                         ValidationDetail* detail = nullptr);
