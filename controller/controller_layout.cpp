#include "controller/controller_layout.h"

#include <array>
#include <limits>

StatusCode ReadNvmBytes(ControllerAccess& controller, std::uint32_t address, std::uint32_t length,
                        std::uint8_t* bytes) {
  // 64-bit positions: a range that ends at the top of the address space must not wrap.
  const std::uint64_t end = std::uint64_t{address} + length;
  // Bytes past the 32-bit address space do not exist, so a field there cannot match.
  if (end > std::uint64_t{std::numeric_limits<std::uint32_t>::max()} + 1) return TBFW_E_FIELD_MISMATCH;
  std::uint64_t word = address - address % 4;
  std::uint32_t skip = address % 4;
  std::uint32_t copied = 0;
  while (word < end) {
    std::array<std::uint8_t, 4> buffer{};
    if (StatusCode s = controller.ReadFirmware(static_cast<std::uint32_t>(word), 4, buffer.data()); s != kSuccess) {
      return s;
    }
    for (std::uint32_t i = skip; i < buffer.size() && copied < length; ++i) bytes[copied++] = buffer[i];
    word += 4;
    skip = 0;
  }
  return kSuccess;
}

StatusCode ReadNvmValue(ControllerAccess& controller, std::uint32_t address, std::uint32_t length,
                        std::uint32_t& value) {
  std::array<std::uint8_t, 4> bytes{};
  if (length > bytes.size()) length = bytes.size();
  if (StatusCode s = ReadNvmBytes(controller, address, length, bytes.data()); s != kSuccess) return s;
  value = 0;
  for (std::uint32_t i = length; i > 0; --i) value = (value << 8) | bytes[i - 1];
  return kSuccess;
}

StatusCode ReadControllerLayout(ControllerAccess& controller, NvmLayout& layout) {
  layout.regionBase = 0;
  if (StatusCode s = controller.GetCurrentNvmVersion(layout.nvmVersion); s != kSuccess) return s;

  std::uint32_t deviceId = 0;
  if (StatusCode s = ReadNvmValue(controller, kDeviceIdOffset, 2, deviceId); s != kSuccess) return s;
  if (ClassifyDeviceId(static_cast<std::uint16_t>(deviceId), layout.generation, layout.reducedPorts) != kSuccess) {
    return TBFW_E_UNSUPPORTED_CONTROLLER;
  }
  if (layout.generation != kSectionGeneration) return kSuccess;

  std::uint32_t section1 = 0;
  if (StatusCode s = ReadNvmValue(controller, kSection1PointerOffset, 4, section1); s != kSuccess) return s;
  layout.section1Base = section1;
  layout.hasSection1 = true;

  std::uint32_t flags = 0;
  if (StatusCode s = ReadNvmValue(controller, kBlockFlagsOffset, 1, flags); s != kSuccess) return s;
  if ((flags & kSection2Present) == 0) return kSuccess;

  // At most 0xFFFF + 6 * (4 * 0xFFFF + 2): the walk cannot wrap.
  std::uint32_t position = 0;
  if (StatusCode s = ReadNvmValue(controller, kBlockChainOffset, 2, position); s != kSuccess) return s;
  for (std::uint8_t flag : kBlockChainOrder) {
    if ((flags & flag) == 0) continue;
    std::uint32_t count = 0;
    if (StatusCode s = ReadNvmValue(controller, position, 2, count); s != kSuccess) return s;
    position += BlockSize(static_cast<std::uint16_t>(count));
  }
  layout.section2Base = position;
  layout.hasSection2 = true;
  return kSuccess;
}
