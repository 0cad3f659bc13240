#include "emulator/nvm_builder.h"

#include <algorithm>
#include <utility>

#include "controller/nvm_layout.h"

namespace {

constexpr std::uint8_t kBlockWordFill = 0xA5;  // what a block's words hold
constexpr std::uint32_t kSecondPointerOffset = 0x1000;

void WriteBlockChain(std::vector<std::uint8_t>& region, const NvmRegionPlan& plan) {
  std::uint32_t position = plan.firstBlock;
  for (std::size_t i = 0; i < std::size(kBlockChainOrder); ++i) {
    if ((plan.blockFlags & kBlockChainOrder[i]) == 0) continue;
    const std::uint16_t count = plan.blockCounts[i];
    PutLittleEndian(region, position, count, 2);
    for (std::uint32_t j = 0; j < 4u * count; ++j) PutLittleEndian(region, position + 2 + j, kBlockWordFill, 1);
    position += BlockSize(count);
  }
}

void WriteFields(std::vector<std::uint8_t>& region, const NvmRegionPlan& plan, std::uint32_t generation) {
  const bool hasSection2 = (plan.blockFlags & kSection2Present) != 0;
  for (std::size_t i = 0; i < kNvmFieldCheckCount; ++i) {
    const NvmFieldCheck& row = kNvmFieldChecks[i];
    if (row.generation != generation) continue;
    std::uint32_t base = 0;
    if (row.section == kSection1) base = plan.section1Offset;
    if (row.section == kSection2) {
      if (!hasSection2) continue;
      base = Section2Base(plan);
    }
    PutLittleEndian(region, base + row.offset, plan.fields[i], row.length);
  }
}

void WriteBoardIdentity(std::vector<std::uint8_t>& region, const NvmRegionPlan& plan) {
  const std::uint16_t values[] = {plan.vendorId, plan.modelId};
  for (std::size_t i = 0; i < kBoardIdentityChecks.size(); ++i) {
    const NvmFieldCheck& field = kBoardIdentityChecks[i];
    // A section 1 placed far out (to test its pointer) is not grown into.
    const std::uint64_t end = std::uint64_t{plan.section1Offset} + field.offset + field.length;
    if (end <= plan.size) PutLittleEndian(region, plan.section1Offset + field.offset, values[i], field.length);
  }
}

void WriteControllerMode(std::vector<std::uint8_t>& region, const NvmRegionPlan& plan) {
  PutLittleEndian(region, kControllerModeChecks[0].offset, plan.nativeFlags, 1);
  PutLittleEndian(region, kControllerModeChecks[1].offset, plan.flashSize, 1);
  PutLittleEndian(region, kArcParamsPointerOffset, plan.arcParamsOffset, 4);
  const std::uint64_t pd = std::uint64_t{plan.arcParamsOffset} + kPowerDeliveryCheck.offset;
  if (pd + 4 <= plan.size) PutLittleEndian(region, static_cast<std::size_t>(pd), plan.pdPointer, 4);
}

}  // namespace

void PutLittleEndian(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value, std::size_t width) {
  if (bytes.size() < offset + width) bytes.resize(offset + width);
  for (std::size_t i = 0; i < width; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

NvmRegionPlan PlanFor(std::uint16_t deviceId) {
  NvmRegionPlan plan;
  plan.deviceId = deviceId;
  plan.blockFlags = kSection2Present | 0x04 | 0x01 | 0x20;
  plan.blockCounts = {3, 0, 1, 0, 0, 2};
  return plan;
}

NvmRegionPlan PlanForImageSize(std::uint16_t deviceId, std::uint32_t imageSize, const ImagePlacement& placement) {
  NvmRegionPlan plan = PlanFor(deviceId);
  plan.size = imageSize - placement.regionOffset;
  plan.fill = 0xFF;
  // Word counts of the three blocks: a sixteenth, a thirty-second and a sixty-fourth of the
  // region, at most what a block's 16-bit count holds.
  const std::uint32_t words = plan.size / 4;
  for (auto [index, share] : {std::pair{0, 16u}, std::pair{2, 32u}, std::pair{5, 64u}})
    plan.blockCounts[static_cast<std::size_t>(index)] = static_cast<std::uint16_t>(std::min(words / share, 0xFFFFu));
  return plan;
}

std::uint32_t Section2Base(const NvmRegionPlan& plan) {
  std::uint32_t position = plan.firstBlock;
  for (std::size_t i = 0; i < std::size(kBlockChainOrder); ++i) {
    if ((plan.blockFlags & kBlockChainOrder[i]) != 0) position += BlockSize(plan.blockCounts[i]);
  }
  return position;
}

std::vector<std::uint8_t> BuildRegion(const NvmRegionPlan& plan) {
  std::vector<std::uint8_t> region(plan.size, plan.fill);
  WriteBlockChain(region, plan);
  WriteBoardIdentity(region, plan);
  std::uint32_t generation = 0, reducedPorts = 0;
  if (ClassifyDeviceId(plan.deviceId, generation, reducedPorts) == kSuccess) {
    WriteFields(region, plan, generation);
    if (generation == kSectionGeneration) WriteControllerMode(region, plan);
  }
  // The header last, so that no field or block overwrites it.
  PutLittleEndian(region, kLevelBitsOffset, plan.levelByte, 1);
  PutLittleEndian(region, kBlockFlagsOffset, plan.blockFlags, 1);
  PutLittleEndian(region, kBlockChainOffset, plan.firstBlock, 2);
  PutLittleEndian(region, kDeviceIdOffset, plan.deviceId, 2);
  PutLittleEndian(region, kNvmVersionOffset, plan.nvmVersion, 1);
  PutLittleEndian(region, kSection1PointerOffset, plan.section1Offset, 4);
  return region;
}

std::vector<std::uint8_t> BuildImage(const std::vector<std::uint8_t>& region, const ImagePlacement& placement) {
  std::vector<std::uint8_t> image(placement.regionOffset, placement.fill);
  if (placement.viaSecondPointer) {
    const std::uint32_t blank = placement.blankByte == 0xFF ? 0xFFFFFF : 0x000000;
    PutLittleEndian(image, 0, blank, 3);
    PutLittleEndian(image, kSecondPointerOffset, placement.regionOffset, 3);
  } else {
    PutLittleEndian(image, 0, placement.regionOffset, 3);
  }
  image.resize(placement.regionOffset);  // a pointer never reaches into the region
  image.insert(image.end(), region.begin(), region.end());
  return image;
}
