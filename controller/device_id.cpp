#include "controller/nvm_layout.h"

namespace {

struct KnownDevice {
  std::uint16_t deviceId;
  std::uint32_t generation;
  std::uint32_t reducedPorts;
};

// 0x157E is the generation-2 bridge as fitted to boards; 0x147E is kept beside it for
// images and controllers that carry that identifier.
constexpr KnownDevice kKnownDevices[] = {
    {0x147E, 2, 1}, {0x157E, 2, 1}, {0x1567, 0, 1}, {0x1569, 0, 0},
    {0x156B, 1, 1}, {0x156D, 1, 0}, {0x1576, 3, 1}, {0x1578, 3, 0},
};

}  // namespace

StatusCode ClassifyDeviceId(std::uint16_t deviceId, std::uint32_t& generation, std::uint32_t& reducedPorts) {
  for (const KnownDevice& device : kKnownDevices) {
    if (device.deviceId != deviceId) continue;
    generation = device.generation;
    reducedPorts = device.reducedPorts;
    return kSuccess;
  }
  return TBFW_E_UNKNOWN_DEVICE;
}
