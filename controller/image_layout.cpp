#include "controller/image_layout.h"

#include <limits>

namespace {

constexpr std::uint64_t kSecondPointerOffset = 0x1000;

bool IsBlankPointer(std::uint32_t pointer) { return pointer == 0x000000 || pointer == 0xFFFFFF; }

// The region base: the first pointer that is not blank.
StatusCode FindRegion(ImageBytes image, std::uint32_t& base) {
  std::uint32_t pointer = 0;
  if (!ReadImageValue(image, 0, 3, pointer)) return TBFW_E_NO_IMAGE;
  if (IsBlankPointer(pointer)) {
    if (!ReadImageValue(image, kSecondPointerOffset, 3, pointer)) return TBFW_E_NO_IMAGE;
    if (IsBlankPointer(pointer)) return TBFW_E_NO_IMAGE;
  }
  base = pointer;
  return kSuccess;
}

}  // namespace

bool ReadImageValue(ImageBytes image, std::uint64_t offset, std::uint32_t length, std::uint32_t& value) {
  if (length > 4 || offset > image.size() || image.size() - offset < length) return false;
  // In range now, so the offset fits the image's own size type.
  const std::size_t start = static_cast<std::size_t>(offset);
  std::uint32_t result = 0;
  for (std::uint32_t i = length; i > 0; --i) result = (result << 8) | image[start + i - 1];
  value = result;
  return true;
}

StatusCode ParseImageLayout(ImageBytes image, NvmLayout& layout) {
  std::uint32_t base = 0;
  if (StatusCode s = FindRegion(image, base); s != kSuccess) return s;
  layout.regionBase = base;

  if (!ReadImageValue(image, std::uint64_t{base} + kNvmVersionOffset, 1, layout.nvmVersion)) return TBFW_E_NO_IMAGE;
  std::uint32_t deviceId = 0;
  if (!ReadImageValue(image, std::uint64_t{base} + kDeviceIdOffset, 2, deviceId)) return TBFW_E_NO_IMAGE;
  if (StatusCode s = ClassifyDeviceId(static_cast<std::uint16_t>(deviceId), layout.generation, layout.reducedPorts);
      s != kSuccess) {
    return s;
  }
  if (layout.generation != kSectionGeneration) return kSuccess;

  std::uint32_t section1 = 0;
  if (!ReadImageValue(image, std::uint64_t{base} + kSection1PointerOffset, 4, section1)) return TBFW_E_NO_IMAGE;
  // A section 1 beyond 32 bits cannot be addressed; no field is read there, so the
  // image is not refused for it here.
  const std::uint64_t section1Base = std::uint64_t{base} + section1;
  if (section1Base <= std::numeric_limits<std::uint32_t>::max()) {
    layout.section1Base = static_cast<std::uint32_t>(section1Base);
    layout.hasSection1 = true;
  }

  std::uint32_t flags = 0;
  if (!ReadImageValue(image, std::uint64_t{base} + kBlockFlagsOffset, 1, flags)) return TBFW_E_NO_IMAGE;
  if ((flags & kSection2Present) == 0) return kSuccess;

  std::uint32_t first = 0;
  if (!ReadImageValue(image, std::uint64_t{base} + kBlockChainOffset, 2, first)) return TBFW_E_NO_IMAGE;
  // The base is below 2^24 and the chain adds less than 2^21: the walk fits in 32 bits.
  std::uint64_t position = std::uint64_t{base} + first;
  for (std::uint8_t flag : kBlockChainOrder) {
    if ((flags & flag) == 0) continue;
    std::uint32_t count = 0;
    if (!ReadImageValue(image, position, 2, count)) return TBFW_E_NO_IMAGE;
    position += BlockSize(static_cast<std::uint16_t>(count));
  }
  layout.section2Base = static_cast<std::uint32_t>(position);
  layout.hasSection2 = true;
  return kSuccess;
}
