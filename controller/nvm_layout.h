// The facts of one NVM region that image validation compares: filled once for the
// controller and once for the image.
#pragma once

#include <cstdint>

#include "common/status_codes.h"

struct NvmLayout {
  std::uint32_t nvmVersion = 0;
  std::uint32_t generation = 0;
  std::uint32_t reducedPorts = 0;  // 1 for the reduced-port variant, 0 for full ports
  std::uint32_t regionBase = 0;    // where the region starts: 0 on the controller
  std::uint32_t section1Base = 0;  // generation 3 only
  std::uint32_t section2Base = 0;  // generation 3 with block flag 0x40 only
  // Whether the section bases above hold a position. A side without section 2 (flag 0x40
  // clear) or with a section 1 pointer past 32 bits cannot have its section fields read.
  bool hasSection1 = false;
  bool hasSection2 = false;
};

// Region offsets every generation shares.
inline constexpr std::uint32_t kLevelBitsOffset = 0x00;
inline constexpr std::uint32_t kBlockFlagsOffset = 0x02;
inline constexpr std::uint32_t kBlockChainOffset = 0x03;
inline constexpr std::uint32_t kDeviceIdOffset = 0x05;
inline constexpr std::uint32_t kNvmVersionOffset = 0x0A;
inline constexpr std::uint32_t kSection1PointerOffset = 0x10E;

inline constexpr std::uint8_t kLevelBitsMask = 0x07;
inline constexpr std::uint8_t kSection2Present = 0x40;
inline constexpr std::uint32_t kSectionGeneration = 3;  // the only generation with sections

// The block flags in the order their blocks follow one another in the chain. Each block
// is a u16 count N and N 32-bit words.
inline constexpr std::uint8_t kBlockChainOrder[] = {0x04, 0x02, 0x01, 0x10, 0x08, 0x20};

// The region pointers at image offsets 0 and 0x1000 are 24-bit NVM addresses: an NVM holds
// at most 2^24 bytes (16 MiB). A larger file cannot be any supported controller's NVM.
inline constexpr std::uint32_t kNvmAddressBits = 24;
inline constexpr std::uint32_t kLargestNvmSize = std::uint32_t{1} << kNvmAddressBits;

inline constexpr std::uint32_t BlockSize(std::uint16_t count) { return 4u * count + 2u; }

// Maps a device identifier to its generation and port variant. Returns 0, or
// TBFW_E_UNKNOWN_DEVICE for an identifier that is none of the known ones, and then
// leaves both outputs untouched.
StatusCode ClassifyDeviceId(std::uint16_t deviceId, std::uint32_t& generation, std::uint32_t& reducedPorts);
