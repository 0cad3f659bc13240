#include "controller/image_validation.h"

#include <limits>
#include <optional>

#include "controller/controller_layout.h"

namespace {

constexpr bool IsBlankPointer(std::uint32_t pointer) { return pointer == 0 || pointer == 0xFFFFFFFF; }

// Where a field lies on one side; nothing when that side has no such section.
std::optional<std::uint64_t> FieldAddress(const NvmFieldCheck& field, const NvmLayout& layout) {
  std::uint64_t base = 0;
  switch (field.section) {
    case kRegionSection: base = layout.regionBase; break;
    case kSection1:
      if (!layout.hasSection1) return std::nullopt;
      base = layout.section1Base;
      break;
    case kSection2:
      if (!layout.hasSection2) return std::nullopt;
      base = layout.section2Base;
      break;
    default: return std::nullopt;
  }
  return base + field.offset;
}

std::uint32_t MaskedValue(const NvmFieldCheck& field, std::uint32_t value) {
  if (field.length == 2) value &= 0xFFFF;
  if (field.length == 1) value &= 0xFF;
  return (value & ~0xFFu) | (value & field.byteMask & 0xFFu);
}

// One field, with the image side read `imageWidth` bytes wide. A section 2 that only one
// side has means the field cannot be shown to match, so it fails as a mismatch before
// anything is read; an image section 1 past 32 bits lies beyond the image.
StatusCode CompareField(ControllerAccess& controller, ImageBytes image, const NvmFieldCheck& field,
                        std::uint32_t imageWidth, const NvmLayout& ours, const NvmLayout& theirs) {
  const std::optional<std::uint64_t> ourAddress = FieldAddress(field, ours);
  const std::optional<std::uint64_t> theirAddress = FieldAddress(field, theirs);
  if (!theirAddress && field.section == kSection1) return TBFW_E_NO_IMAGE;
  if (!ourAddress || !theirAddress) return TBFW_E_FIELD_MISMATCH;
  if (*ourAddress > std::numeric_limits<std::uint32_t>::max()) return TBFW_E_FIELD_MISMATCH;

  std::uint32_t ourValue = 0;
  if (StatusCode s = ReadNvmValue(controller, static_cast<std::uint32_t>(*ourAddress), field.length, ourValue);
      s != kSuccess) {
    return s;
  }
  std::uint32_t theirValue = 0;
  if (!ReadImageValue(image, *theirAddress, imageWidth, theirValue)) return TBFW_E_NO_IMAGE;
  return MaskedValue(field, ourValue) == MaskedValue(field, theirValue) ? kSuccess : TBFW_E_FIELD_MISMATCH;
}

// The table's rows for this controller, in order, then the board identity. A table row's
// image side is always read as a whole 32-bit word, whatever the field's width.
StatusCode CompareFields(ControllerAccess& controller, ImageBytes image, ValidationDetail& seen) {
  const NvmLayout& ours = seen.controller;
  const NvmLayout& theirs = seen.image;
  for (std::size_t i = 0; i < kNvmFieldCheckCount; ++i) {
    const NvmFieldCheck& row = kNvmFieldChecks[i];
    if (!RowApplies(row, ours.generation, ours.reducedPorts)) continue;
    // Neither side has section 2: its rows have nothing to compare.
    if (row.section == kSection2 && !ours.hasSection2 && !theirs.hasSection2) continue;
    if (StatusCode s = CompareField(controller, image, row, 4, ours, theirs); s != kSuccess) {
      seen.field = &row;
      seen.row = i;
      return s;
    }
  }
  for (const NvmFieldCheck& field : kBoardIdentityChecks) {
    if (!RowApplies(field, ours.generation, ours.reducedPorts)) continue;
    if (StatusCode s = CompareField(controller, image, field, field.length, ours, theirs); s != kSuccess) {
      seen.field = &field;
      return s;
    }
  }
  return kSuccess;
}

// The ARC parameters' PD pointer on the controller: whether it names a PD section, or
// nothing when the controller has no ARC parameters (a blank pointer).
StatusCode ControllerPowerDelivery(ControllerAccess& controller, std::optional<bool>& hasPd) {
  std::uint32_t arc = 0;
  if (StatusCode s = ReadNvmValue(controller, kArcParamsPointerOffset, 4, arc); s != kSuccess) return s;
  const std::uint64_t at = std::uint64_t{arc} + kPowerDeliveryCheck.offset;
  if (IsBlankPointer(arc) || at + 4 > std::numeric_limits<std::uint32_t>::max()) return kSuccess;
  std::uint32_t pd = 0;
  if (StatusCode s = ReadNvmValue(controller, static_cast<std::uint32_t>(at), 4, pd); s != kSuccess) return s;
  hasPd = !IsBlankPointer(pd);
  return kSuccess;
}

// The same from the image; nothing when a pointer is blank or lies outside the image.
std::optional<bool> ImagePowerDelivery(ImageBytes image, const NvmLayout& theirs) {
  std::uint32_t arc = 0;
  if (!ReadImageValue(image, std::uint64_t{theirs.regionBase} + kArcParamsPointerOffset, 4, arc) ||
      IsBlankPointer(arc)) {
    return std::nullopt;
  }
  std::uint32_t pd = 0;
  if (!ReadImageValue(image, std::uint64_t{theirs.regionBase} + arc + kPowerDeliveryCheck.offset, 4, pd)) {
    return std::nullopt;
  }
  return !IsBlankPointer(pd);
}

// The controller's mode (enumeration, flash size, PD section), where both sides hold it.
StatusCode CompareModes(ControllerAccess& controller, ImageBytes image, ValidationDetail& seen) {
  const NvmLayout& ours = seen.controller;
  const NvmLayout& theirs = seen.image;
  for (const NvmFieldCheck& field : kControllerModeChecks) {
    if (!RowApplies(field, ours.generation, ours.reducedPorts)) continue;
    std::uint32_t theirValue = 0;
    if (!ReadImageValue(image, std::uint64_t{theirs.regionBase} + field.offset, field.length, theirValue)) continue;
    std::uint32_t ourValue = 0;
    if (StatusCode s = ReadNvmValue(controller, field.offset, field.length, ourValue); s != kSuccess) return s;
    if ((ourValue & field.byteMask) != (theirValue & field.byteMask)) {
      seen.field = &field;
      return TBFW_E_FIELD_MISMATCH;
    }
  }
  if (!RowApplies(kPowerDeliveryCheck, ours.generation, ours.reducedPorts)) return kSuccess;
  std::optional<bool> ourPd;
  if (StatusCode s = ControllerPowerDelivery(controller, ourPd); s != kSuccess) return s;
  const std::optional<bool> theirPd = ImagePowerDelivery(image, theirs);
  if (ourPd && theirPd && *ourPd != *theirPd) {
    seen.field = &kPowerDeliveryCheck;
    return TBFW_E_FIELD_MISMATCH;
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
  if (StatusCode s = CompareFields(controller, image, seen); s != kSuccess) return s;
  return CompareModes(controller, image, seen);
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
