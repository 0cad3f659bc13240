// Builds NVM regions and firmware images for tests and samples: any generation and port
// variant, level bits, block chain, both sections, the board maker's identity and every
// field that validation checks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "controller/nvm_field_checks.h"

// Everything a region holds, as plain data: copy a plan and change one thing.
struct NvmRegionPlan {
  std::uint16_t deviceId = 0x156D;
  std::uint8_t levelByte = 0x03;  // only the low three bits count
  std::uint8_t nvmVersion = 0x1B;
  std::uint8_t blockFlags = 0x00;  // 0x40: section 2 present; the others: chain blocks
  std::uint16_t firstBlock = 0x0400;
  // Word counts of the chain's blocks, in chain order (flags 0x04, 0x02, 0x01, 0x10, 0x08,
  // 0x20); a block is written only when its flag is set.
  std::array<std::uint16_t, 6> blockCounts{};
  std::uint32_t section1Offset = 0x0380;
  // The board maker's identity in section 1; written only when it lies within `size`.
  std::uint16_t vendorId = 0x0A11;
  std::uint16_t modelId = 0x0B22;
  // The controller's mode (generation 3 only): the byte holding the native-enumeration
  // bit 0x20, the flash size code, where the ARC parameters lie and the PD pointer there
  // (0: no PD section).
  std::uint8_t nativeFlags = 0x00;
  std::uint8_t flashSize = 0x03;
  std::uint32_t arcParamsOffset = 0x1000;
  std::uint32_t pdPointer = 0x00001800;
  std::uint32_t size = 0x2200;  // grown when a write needs more
  std::uint8_t fill = 0x00;     // the bytes nothing else writes
  // One value per row of kNvmFieldChecks; a region holds the rows of its own generation.
  // The "Device ID" rows always hold `deviceId`.
  std::array<std::uint32_t, kNvmFieldCheckCount> fields = DefaultFieldValues();

  static constexpr std::array<std::uint32_t, kNvmFieldCheckCount> DefaultFieldValues() {
    std::array<std::uint32_t, kNvmFieldCheckCount> values{};
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = 0x5A6B7C00u + static_cast<std::uint32_t>(i * 5 + 0x21);
    return values;
  }
};

// A plan for the generation and variant of `deviceId` whose section 2 (generation 3)
// follows a short chain of three blocks.
NvmRegionPlan PlanFor(std::uint16_t deviceId);

// Where section 2 of `plan` starts (the end of its block chain).
std::uint32_t Section2Base(const NvmRegionPlan& plan);

// The region's bytes as the controller holds them (region base 0).
std::vector<std::uint8_t> BuildRegion(const NvmRegionPlan& plan);

// Where the region sits in an image file and how the file points at it.
struct ImagePlacement {
  std::uint32_t regionOffset = 0x100;  // at least 0x1003 with viaSecondPointer
  bool viaSecondPointer = false;       // pointer at 0 blank, the real one at 0x1000
  std::uint8_t blankByte = 0x00;       // a blank pointer: 00 00 00 or FF FF FF
  std::uint8_t fill = 0xFF;            // bytes before the region that nothing else writes
};

// An image file holding `region` as placed.
std::vector<std::uint8_t> BuildImage(const std::vector<std::uint8_t>& region, const ImagePlacement& placement = {});

// A plan like PlanFor's whose region fills an image of `imageSize` bytes as `placement`
// places it: firmware of realistic size (256 KiB, 1 MiB). Its block chain spans about a
// tenth of the region, so section 2 lies well inside it, and every byte that no field or
// block takes is 0xFF, as in erased flash.
NvmRegionPlan PlanForImageSize(std::uint16_t deviceId, std::uint32_t imageSize, const ImagePlacement& placement = {});

// Little-endian writes that grow `bytes` as needed.
void PutLittleEndian(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value, std::size_t width);
