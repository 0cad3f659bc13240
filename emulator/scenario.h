// A scenario for the emulated controller, as an INI file (read by the portable profile
// reader, so UTF-16LE with a byte-order mark or single-byte text):
//
//   [controller]
//   region = region.bin        ; the active NVM region, from offset 0; relative to the scenario
//   nvm_version = 0x00000033   ; what GetCurrentNvmVersion reports (0x hex or decimal)
//   controller_id = PCI\VEN_8086&DEV_1578\3&11583659&0&A8   ; optional, this is the default
//   update_ms = 8000           ; optional: how long UpdateFirmware takes, 0 by default
//
//   [faults]                   ; a Fault name without its "k" and "= 1" injects it, e.g.
//   NoInstance = 1             ;   the query finds no controller
//
//   [return_values]            ; a provider "ReturnValue" by method; 0 when not given
//   UpdateFirmware = 5
//
//   [replies]                  ; an out-parameter answered against the method contract,
//   UpdateFirmware.ReturnValue = null    ;   null (VT_NULL), missing or text (the string "0"),
//   ReadFirmware.data = short            ;   and for "data" also short (half the bytes) or empty;
//                              ; also GetCurrentNvmVersion.ReturnValue, .NvmVersion and
//                              ; ReadFirmware.ReturnValue
//
// What the emulated controller received goes to files beside it (see emulator/README.md).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "emulator/controller_model.h"

// Sets the model's version, ControllerId, faults, return values and replies from the
// scenario and gives the region's file name as written. Empty on success, otherwise what is wrong.
std::string ReadScenario(std::span<const std::uint8_t> bytes, ControllerModel& model, std::u16string& regionFile);

// A Fault by its name without the "k" ("NoInstance"); empty for an unknown name.
std::optional<Fault> FaultByName(std::u16string_view name);
