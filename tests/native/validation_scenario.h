// A controller and an image built from two region plans, ready to validate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "controller/image_validation.h"
#include "emulator/nvm_builder.h"
#include "emulator/region_controller.h"

struct Scenario {
  NvmRegionPlan controller;
  NvmRegionPlan image;
  ImagePlacement placement;
  std::function<void(std::vector<std::uint8_t>& image)> editImage;        // after building
  std::function<void(std::vector<std::uint8_t>& region)> editController;  // after building

  // Controller and image of the same device, identical in every field.
  static Scenario Matching(std::uint16_t deviceId) {
    Scenario s;
    s.controller = PlanFor(deviceId);
    s.image = PlanFor(deviceId);
    return s;
  }

  std::vector<std::uint8_t> ImageBytes() const {
    std::vector<std::uint8_t> bytes = BuildImage(BuildRegion(image), placement);
    if (editImage) editImage(bytes);
    return bytes;
  }
};

struct Outcome {
  StatusCode status;
  std::uint32_t imageVersion;
  ValidationDetail detail;
  std::vector<RegionController::Read> reads;
};

inline constexpr std::uint32_t kPresetVersion = 0xDEADBEEF;

// Validates with `prepare` applied to the emulated controller first (to inject faults).
inline Outcome Validate(const Scenario& s, const std::function<void(RegionController&)>& prepare = {}) {
  std::vector<std::uint8_t> region = BuildRegion(s.controller);
  if (s.editController) s.editController(region);
  RegionController controller(std::move(region), s.controller.nvmVersion);
  if (prepare) prepare(controller);
  const std::vector<std::uint8_t> bytes = s.ImageBytes();
  Outcome outcome{};
  outcome.imageVersion = kPresetVersion;
  outcome.status = ValidateImage(controller, bytes, outcome.imageVersion, &outcome.detail);
  outcome.reads = controller.Reads();
  return outcome;
}
