// Image validation on arbitrary bytes. Input: a u16 length of the controller region, a
// read that fails and a read that comes back empty (0 for none), then the controller
// region and the image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "controller/image_validation.h"
#include "emulator/region_controller.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kHeader = 4;
  if (size < kHeader) return 0;
  std::size_t regionLength = data[0] | (data[1] << 8);
  if (regionLength > size - kHeader) regionLength = size - kHeader;
  const std::uint8_t* region = data + kHeader;
  // Copies, so that a read past either end is caught by the sanitizer.
  RegionController controller(std::vector<std::uint8_t>(region, region + regionLength), 0x20);
  if (data[2] != 0) controller.FailRead(data[2], 0x8004100A);
  if (data[3] != 0) controller.ShortenRead(data[3], data[3] % 4);
  const std::vector<std::uint8_t> image(region + regionLength, data + size);

  constexpr std::uint32_t kPreset = 0xA5A5A5A5;
  std::uint32_t imageVersion = kPreset;
  ValidationDetail detail;
  const StatusCode status = ValidateImage(controller, image, imageVersion, &detail);
  // A refused image never reports a version; an accepted one reports its own byte.
  if (status != kSuccess && imageVersion != kPreset) std::abort();
  if (status == kSuccess && imageVersion != image.at(detail.image.regionBase + 0x0A)) std::abort();
  for (const RegionController::Read& read : controller.Reads()) {
    if (read.length != 4 || read.offset % 4 != 0) std::abort();
  }
  return 0;
}
