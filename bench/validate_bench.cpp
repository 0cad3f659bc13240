// ValidateImage against the emulated controller, one case per generation and port
// variant, with the number of ReadFirmware calls it made. That number must be what the
// rules imply: one read per aligned 4-byte word of each field looked at, each field once.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bench/paired.h"
#include "controller/image_validation.h"
#include "controller/nvm_field_checks.h"
#include "controller/nvm_layout.h"
#include "emulator/nvm_builder.h"
#include "emulator/region_controller.h"

namespace {

struct Controller {
  const char* name;
  std::uint16_t deviceId;
  std::uint32_t generation;
  std::uint32_t reducedPorts;
};

constexpr Controller kControllers[] = {
    {"generation-1-full-ports", 0x156D, 1, 0},
    {"generation-1-reduced-ports", 0x156B, 1, 1},
    {"generation-2", 0x157E, 2, 1},
    {"generation-3-full-ports", 0x1578, 3, 0},
    {"generation-3-reduced-ports", 0x1576, 3, 1},
};

std::size_t WordsSpanned(std::uint64_t address, std::uint32_t length) {
  return static_cast<std::size_t>((address + length - 1) / 4 - address / 4 + 1);
}

// The reads a matching image costs on this controller: the identifier; for the generation
// with sections, the section 1 pointer, the block flags and the block chain up to
// section 2; the level bits; every field-check row of the generation and variant; then
// the board maker's vendor and model ids in section 1.
std::size_t ExpectedReads(const Controller& c, const NvmRegionPlan& plan) {
  std::size_t reads = WordsSpanned(kDeviceIdOffset, 2);
  std::uint64_t section2 = 0;
  if (c.generation == kSectionGeneration) {
    reads += WordsSpanned(kSection1PointerOffset, 4) + WordsSpanned(kBlockFlagsOffset, 1);
    if (plan.blockFlags & kSection2Present) {
      reads += WordsSpanned(kBlockChainOffset, 2);
      std::uint64_t position = plan.firstBlock;
      for (std::size_t i = 0; i < std::size(kBlockChainOrder); ++i) {
        if ((plan.blockFlags & kBlockChainOrder[i]) == 0) continue;
        reads += WordsSpanned(position, 2);
        position += BlockSize(plan.blockCounts[i]);
      }
      section2 = position;
    }
  }
  reads += WordsSpanned(kLevelBitsOffset, 2);
  const std::uint64_t bases[] = {0, plan.section1Offset, section2};
  auto add = [&](const NvmFieldCheck& field) {
    if (RowApplies(field, c.generation, c.reducedPorts)) {
      reads += WordsSpanned(bases[field.section] + field.offset, field.length);
    }
  };
  for (const NvmFieldCheck& row : kNvmFieldChecks) add(row);
  for (const NvmFieldCheck& field : kBoardIdentityChecks) add(field);
  return reads;
}

// Validates `image` against a fresh controller holding `region` in every pass, as the
// tool meets it; the controller's set-up is timed unless `setUpUntimed`. Fails the case
// when the image is refused or the controller was read other than `expected` times.
void MeasureValidation(benchmark::State& state, const std::vector<std::uint8_t>& region, std::uint32_t nvmVersion,
                       const std::vector<std::uint8_t>& image, std::size_t expected, bool setUpUntimed) {
  std::size_t reads = 0;
  for (auto _ : state) {
    if (setUpUntimed) state.PauseTiming();
    RegionController controller(region, nvmVersion);
    if (setUpUntimed) state.ResumeTiming();
    std::uint32_t version = 0;
    const StatusCode status = ValidateImage(controller, image, version);
    benchmark::DoNotOptimize(version);
    if (status != kSuccess) {
      state.SkipWithError("the matching image was refused");
      return;
    }
    reads = controller.Reads().size();
  }
  if (reads != expected) {
    state.SkipWithError(
        ("ReadFirmware calls " + std::to_string(reads) + ", the rules imply " + std::to_string(expected)).c_str());
    return;
  }
  state.counters["ReadFirmware"] = static_cast<double>(reads);
  state.counters["implied"] = static_cast<double>(expected);
}

void RegisterController(const Controller& c) {
  const NvmRegionPlan plan = PlanFor(c.deviceId);
  const std::vector<std::uint8_t> region = BuildRegion(plan);
  const std::vector<std::uint8_t> image = BuildImage(region);
  const std::size_t expected = ExpectedReads(c, plan);

  // Each pass starts from a fresh controller, as the tool does: its NVM is copied in.
  auto measured = [=](benchmark::State& state) {
    MeasureValidation(state, region, plan.nvmVersion, image, expected, false);
  };
  // The same controller set-up, and one copy of the image's bytes.
  auto baseline = [=](benchmark::State& state) {
    std::vector<std::uint8_t> copy(image.size());
    for (auto _ : state) {
      RegionController controller(region, plan.nvmVersion);
      benchmark::DoNotOptimize(controller);
      std::memcpy(copy.data(), image.data(), image.size());
      benchmark::DoNotOptimize(copy.data());
      benchmark::ClobberMemory();
    }
  };
  RegisterPaired(std::string("ValidateImage/") + c.name, measured, std::string("baseline/copy-image/") + c.name,
                 "controller set-up + memcpy of the image (" + std::to_string(image.size()) + " bytes)", baseline);
}

// The same on images of the sizes firmware has. The tool's controller is already there
// when it validates, so each pass's fresh controller is made outside the timing; the
// baseline is a copy of the image's bytes alone.
void RegisterSizedImage(const Controller& c, std::uint32_t imageSize, const char* sizeName) {
  const NvmRegionPlan plan = PlanForImageSize(c.deviceId, imageSize);
  const std::vector<std::uint8_t> region = BuildRegion(plan);
  const std::vector<std::uint8_t> image = BuildImage(region);
  const std::size_t expected = ExpectedReads(c, plan);

  auto measured = [=](benchmark::State& state) {
    if (image.size() != imageSize) {
      state.SkipWithError("the builder made an image of another size");
      return;
    }
    MeasureValidation(state, region, plan.nvmVersion, image, expected, true);
  };
  auto baseline = [imageSize](benchmark::State& state) {
    const std::vector<std::uint8_t> source(imageSize, 0xA5);
    std::vector<std::uint8_t> copy(imageSize);
    for (auto _ : state) {
      std::memcpy(copy.data(), source.data(), source.size());
      benchmark::DoNotOptimize(copy.data());
      benchmark::ClobberMemory();
    }
  };
  RegisterPaired(std::string("ValidateImage/") + c.name + "/" + sizeName, measured,
                 std::string("baseline/copy-image/") + sizeName,
                 "memcpy of the image (" + std::to_string(imageSize) + " bytes)", baseline);
}

}  // namespace

void RegisterValidateBenchmarks() {
  for (const Controller& c : kControllers) RegisterController(c);
  for (const Controller& c : kControllers) {
    RegisterSizedImage(c, 256u * 1024u, "256KiB");
    RegisterSizedImage(c, 1024u * 1024u, "1MiB");
  }
}
