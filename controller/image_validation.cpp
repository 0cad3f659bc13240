#include "controller/image_validation.h"

#include <limits>

#include "controller/controller_layout.h"
#include "controller/nvm_field_checks.h"

namespace {

// Where a row's field lies on one side. False when that side has no such section.
bool FieldAddress(const NvmFieldCheck& row, const NvmLayout& layout, std::uint64_t& address) {
  std::uint64_t base = 0;
  switch (row.section) {
    case kRegionSection: base = layout.regionBase; break;
    case kSection1: if (!layout.hasSection1) return false; base = layout.section1Base; break;
    case kSection2: if (!layout.hasSection2) return false; base = layout.section2Base; break;
    default: return false;
  }
  address = base + row.offset;
  return true;
}

std::uint32_t MaskedValue(const NvmFieldCheck& row, std::uint32_t value) {
  if (row.length == 2) value &= 0xFFFF;
  if (row.length == 1) value &= 0xFF;
  return (value & ~0xFFu) | (value & row.byteMask & 0xFFu);
}

// One row. A section that either side lacks means the field cannot be shown to match,
// so the row fails as a mismatch before anything is read.
StatusCode CompareField(ControllerAccess& controller, ImageBytes image, const NvmFieldCheck& row,
                        const NvmLayout& ours, const NvmLayout& theirs) {
  std::uint64_t ourAddress = 0, theirAddress = 0;
  if (!FieldAddress(row, ours, ourAddress) || !FieldAddress(row, theirs, theirAddress)) return TBFW_E_FIELD_MISMATCH;
  if (ourAddress > std::numeric_limits<std::uint32_t>::max()) return TBFW_E_FIELD_MISMATCH;

  std::uint32_t ourValue = 0;
  if (StatusCode s = ReadNvmValue(controller, static_cast<std::uint32_t>(ourAddress), row.length, ourValue);
      s != kSuccess) {
    return s;
  }
  // The image side is always read as a whole 32-bit word, whatever the field's width.
  std::uint32_t theirValue = 0;
  if (!ReadImageValue(image, theirAddress, 4, theirValue)) return TBFW_E_NO_IMAGE;
  return MaskedValue(row, ourValue) == MaskedValue(row, theirValue) ? kSuccess : TBFW_E_FIELD_MISMATCH;
}

StatusCode CompareFields(ControllerAccess& controller, ImageBytes image, const NvmLayout& ours,
                         const NvmLayout& theirs, std::optional<std::size_t>& failedRow) {
  for (std::size_t i = 0; i < kNvmFieldCheckCount; ++i) {
    const NvmFieldCheck& row = kNvmFieldChecks[i];
    if (!RowApplies(row, ours.generation, ours.reducedPorts)) continue;
    if (StatusCode s = CompareField(controller, image, row, ours, theirs); s != kSuccess) {
      failedRow = i;
      return s;
    }
  }
  return kSuccess;
}

// The image may not ask for more than the controller's level bits allow.
StatusCode CheckLevelBits(ControllerAccess& controller, ImageBytes image, const NvmLayout& theirs) {
  std::uint32_t ourBits = 0;
  if (StatusCode s = ReadNvmValue(controller, kLevelBitsOffset, 2, ourBits); s != kSuccess) return s;
  std::uint32_t theirBits = 0;
  if (!ReadImageValue(image, std::uint64_t{theirs.regionBase} + kLevelBitsOffset, 1, theirBits)) {
    return TBFW_E_NO_IMAGE;
  }
  return (ourBits & kLevelBitsMask) < (theirBits & kLevelBitsMask) ? TBFW_E_LEVEL_MISMATCH : kSuccess;
}

StatusCode RunChecks(ControllerAccess& controller, ImageBytes image, ValidationDetail& seen) {
  NvmLayout& ours = seen.controller;
  NvmLayout& theirs = seen.image;
  if (StatusCode s = ReadControllerLayout(controller, ours); s != kSuccess) return s;
  // Refused before the image is looked at.
  if (ours.generation == 0) return TBFW_E_UNSUPPORTED_CONTROLLER;
  if (StatusCode s = ParseImageLayout(image, theirs); s != kSuccess) return s;
  if (theirs.generation != ours.generation) return TBFW_E_GENERATION_MISMATCH;
  if (theirs.reducedPorts != ours.reducedPorts) return TBFW_E_PORT_VARIANT_MISMATCH;
  if (StatusCode s = CheckLevelBits(controller, image, theirs); s != kSuccess) return s;
  return CompareFields(controller, image, ours, theirs, seen.row);
}

}  // namespace

StatusCode ValidateImage(ControllerAccess& controller, ImageBytes image, std::uint32_t& imageVersion,
                         ValidationDetail* detail) {
  ValidationDetail seen;
  const StatusCode status = RunChecks(controller, image, seen);
  if (status == kSuccess) imageVersion = seen.image.nvmVersion;
  if (detail != nullptr) *detail = seen;
  return status;
}
