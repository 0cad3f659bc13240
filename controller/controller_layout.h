// Reading the controller's side of image validation: bytes of its active NVM region and
// the layout facts they hold.
#pragma once

#include <cstdint>

#include "common/status_codes.h"
#include "controller/controller_access.h"
#include "controller/nvm_layout.h"

// Reads `length` (1 to 4) bytes of the controller's region at `address` into `bytes`.
// Every read is a 4-byte ReadFirmware at a 4-aligned offset, so a range costs one call,
// or two when it crosses a word boundary; nothing is cached. A failing call ends the read
// with its status, and the bytes it would have supplied are not written. A range beyond
// the 32-bit address space gives TBFW_E_FIELD_MISMATCH without any call.
StatusCode ReadNvmBytes(ControllerAccess& controller, std::uint32_t address, std::uint32_t length, std::uint8_t* bytes);

// ReadNvmBytes as a little-endian number, zero-extended to 32 bits.
StatusCode ReadNvmValue(ControllerAccess& controller, std::uint32_t address, std::uint32_t length,
                        std::uint32_t& value);

// Fills the controller's layout (region base 0): its version from GetCurrentNvmVersion,
// generation and variant from its device identifier, and for generation 3 the section
// bases. Returns the status of the first failing call, or TBFW_E_UNSUPPORTED_CONTROLLER
// when the identifier is none of the known ones: a controller that cannot be identified
// is never updated.
StatusCode ReadControllerLayout(ControllerAccess& controller, NvmLayout& layout);
