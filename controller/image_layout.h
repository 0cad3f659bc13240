// Reading the image's side of image validation. Every read is checked against the
// image's length: a value that would lie outside the image is never read.
#pragma once

#include <cstdint>
#include <span>

#include "common/status_codes.h"
#include "controller/nvm_layout.h"

using ImageBytes = std::span<const std::uint8_t>;

// The little-endian value of `length` (1 to 4) bytes at `offset`. False, and `value`
// untouched, when any of those bytes lies outside the image.
bool ReadImageValue(ImageBytes image, std::uint64_t offset, std::uint32_t length, std::uint32_t& value);

// Fills the image's layout. The region starts where the 24-bit pointer at offset 0 says,
// or where the one at 0x1000 says when the first is blank (all zeros or all ones).
// Returns 0; TBFW_E_NO_IMAGE when both pointers are blank or a value the layout needs
// lies outside the image; or TBFW_E_UNKNOWN_DEVICE for an unknown device identifier.
StatusCode ParseImageLayout(ImageBytes image, NvmLayout& layout);
