// The controller's mode beyond the field table: native enumeration, flash size and the PD
// section, compared where both sides hold them, each refusal naming its field.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "controller/image_validation.h"
#include "tests/native/validation_scenario.h"

namespace {

struct ModeCase {
  const char* name;
  std::uint16_t deviceId;
  std::function<void(Scenario&)> change;
  StatusCode expected;
  const char16_t* field = nullptr;  // the field named, for a refusal
};

// An image byte at region offset `offset` XORed with `bits`, after building.
std::function<void(std::vector<std::uint8_t>&)> FlipImage(const Scenario& s, std::uint32_t offset, std::uint8_t bits) {
  const std::uint32_t at = s.placement.regionOffset + offset;
  return [=](std::vector<std::uint8_t>& b) { b[at] ^= bits; };
}

const ModeCase kModeCases[] = {
    {"same mode", 0x1578, [](Scenario&) {}, kSuccess},
    {"native image, BIOS-assist controller", 0x1578, [](Scenario& s) { s.image.nativeFlags = 0x20; },
     TBFW_E_FIELD_MISMATCH, u"Native enumeration"},
    {"BIOS-assist image, native controller", 0x1576, [](Scenario& s) { s.controller.nativeFlags = 0x20; },
     TBFW_E_FIELD_MISMATCH, u"Native enumeration"},
    {"only bit 0x20 of the native byte counts", 0x1578, [](Scenario& s) { s.image.nativeFlags = 0xDF; }, kSuccess},
    {"another flash size", 0x1578, [](Scenario& s) { s.image.flashSize = 0x04; }, TBFW_E_FIELD_MISMATCH, u"Flash size"},
    {"only the low three bits of the flash size count", 0x1578, [](Scenario& s) { s.image.flashSize = 0xFB; },
     kSuccess},
    {"an image without the PD section the board has", 0x1578, [](Scenario& s) { s.image.pdPointer = 0; },
     TBFW_E_FIELD_MISMATCH, u"PD section"},
    {"an image with a PD section the board lacks", 0x1576, [](Scenario& s) { s.controller.pdPointer = 0xFFFFFFFF; },
     TBFW_E_FIELD_MISMATCH, u"PD section"},
    {"neither side has a PD section", 0x1578, [](Scenario& s) { s.image.pdPointer = s.controller.pdPointer = 0; },
     kSuccess},
    {"PD sections at different places", 0x1578, [](Scenario& s) { s.image.pdPointer = 0x2400; }, kSuccess},
    // The image's bytes at the controller's ARC place are zero: read there, the PD section
    // would seem missing.
    {"each side's ARC parameters at its own place", 0x1578, [](Scenario& s) { s.image.arcParamsOffset = 0x1100; },
     kSuccess},
    {"no ARC parameters in the image: PD not compared", 0x1578,
     [](Scenario& s) { s.image.arcParamsOffset = 0xFFFFFFFF, s.image.pdPointer = 0; }, kSuccess},
    {"ARC parameters past the image's end: PD not compared", 0x1578,
     [](Scenario& s) { s.image.arcParamsOffset = 0x00F00000, s.image.pdPointer = 0; }, kSuccess},
    {"no ARC parameters on the controller: PD not compared", 0x1578,
     [](Scenario& s) { s.controller.arcParamsOffset = 0xFFFFFFFF, s.image.pdPointer = 0; }, kSuccess},
    {"native before flash size", 0x1578, [](Scenario& s) { s.image.nativeFlags = 0x20, s.image.flashSize = 0x05; },
     TBFW_E_FIELD_MISMATCH, u"Native enumeration"},
    {"the board identity before the mode", 0x1578,
     [](Scenario& s) { s.image.modelId ^= 1, s.image.nativeFlags = 0x20; }, TBFW_E_FIELD_MISMATCH, u"Model ID"},
    // A device-mode image (bit 0x02 of 0x10 clear) is refused by the table's row that
    // compares that byte whole.
    {"a device's image on a host", 0x1578, [](Scenario& s) { s.editImage = FlipImage(s, 0x10, 0x02); },
     TBFW_E_FIELD_MISMATCH, u"PCIe Settings"},
    {"generation 1 has no mode fields", 0x156D,
     [](Scenario& s) {
       const auto native = FlipImage(s, 0x7B, 0x20), flash = FlipImage(s, 0x45, 0x07);
       s.editImage = [=](std::vector<std::uint8_t>& b) { native(b), flash(b); };
     },
     kSuccess},
};

TEST(ValidateImage, ComparesTheControllerModeWhereBothSidesHoldIt) {
  for (const ModeCase& c : kModeCases) {
    Scenario s = Scenario::Matching(c.deviceId);
    c.change(s);
    const Outcome o = Validate(s);
    EXPECT_EQ(o.status, c.expected) << c.name;
    const std::u16string named = o.detail.field != nullptr ? o.detail.field->name : u"";
    EXPECT_EQ(named, c.field != nullptr ? c.field : u"") << c.name;
  }
}

}  // namespace
