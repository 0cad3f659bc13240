#include "controller/image_validation.h"

#include <gtest/gtest.h>

#include <optional>

#include "controller/nvm_field_checks.h"
#include "tests/native/validation_scenario.h"

namespace {

constexpr std::size_t Row(std::size_t number) { return number - 1; }  // rows are counted from 1

struct OrderCase {
  const char* name;
  std::uint16_t controllerId;
  std::uint16_t imageId;
  std::function<void(Scenario&)> change;
  StatusCode expected;
  std::optional<std::size_t> row = std::nullopt;
};

void Nothing(Scenario&) {}
void BothPointersBlank(Scenario& s) {
  s.placement = {0x4000, true, 0x00};
  s.editImage = [](std::vector<std::uint8_t>& b) { b[0x1000] = b[0x1001] = b[0x1002] = 0xFF; };
}

const OrderCase kOrderCases[] = {
    {"matching generation 1, full ports", 0x156D, 0x156D, Nothing, kSuccess},
    {"matching generation 1, reduced ports", 0x156B, 0x156B, Nothing, kSuccess},
    {"matching generation 2", 0x147E, 0x147E, Nothing, kSuccess},
    {"matching generation 3, full ports", 0x1578, 0x1578, Nothing, kSuccess},
    {"matching generation 3, reduced ports", 0x1576, 0x1576, Nothing, kSuccess},
    {"region via second pointer, zeros", 0x156D, 0x156D, [](Scenario& s) { s.placement = {0x4000, true, 0x00}; },
     kSuccess},
    {"region via second pointer, ones", 0x1578, 0x1578, [](Scenario& s) { s.placement = {0x4000, true, 0xFF}; },
     kSuccess},
    {"both pointers blank", 0x156D, 0x156D, BothPointersBlank, TBFW_E_NO_IMAGE},
    {"generation 0 before a blank image", 0x1567, 0x156D, BothPointersBlank, TBFW_E_UNSUPPORTED_CONTROLLER},
    {"generation 0 full ports", 0x1569, 0x1569, Nothing, TBFW_E_UNSUPPORTED_CONTROLLER},
    {"unknown controller", 0x1577, 0x156D, BothPointersBlank, TBFW_E_UNSUPPORTED_CONTROLLER},
    {"unknown image", 0x156D, 0x1577, Nothing, TBFW_E_UNKNOWN_DEVICE},
    {"port variants differ", 0x156B, 0x156D, Nothing, TBFW_E_PORT_VARIANT_MISMATCH},
    {"generations differ", 0x156D, 0x1578, Nothing, TBFW_E_GENERATION_MISMATCH},
    {"generation before variant", 0x156B, 0x1578, Nothing, TBFW_E_GENERATION_MISMATCH},
    {"image level above controller's", 0x156D, 0x156D,
     [](Scenario& s) { s.controller.levelByte = 0x0A, s.image.levelByte = 0x03; }, TBFW_E_LEVEL_MISMATCH},
    {"image level below controller's", 0x156D, 0x156D,
     [](Scenario& s) { s.controller.levelByte = 0x03, s.image.levelByte = 0x0A; }, kSuccess},
    {"only the low three level bits count", 0x156D, 0x156D,
     [](Scenario& s) { s.controller.levelByte = 0x02, s.image.levelByte = 0xFA; }, kSuccess},
    {"level before fields", 0x156D, 0x156D,
     [](Scenario& s) { s.image.levelByte = 0x07, s.image.fields[Row(3)] ^= 1; }, TBFW_E_LEVEL_MISMATCH},
    {"reduced ports skip ports 2 and 3 and sink 1", 0x156B, 0x156B,
     [](Scenario& s) {
       for (std::size_t r : {7, 8, 9, 10, 15, 16, 17, 18}) s.image.fields[Row(r)] ^= 0xFF;
     },
     kSuccess},
    {"first mismatch in table order, not offset order", 0x156D, 0x156D,
     [](Scenario& s) { s.image.fields[Row(4)] ^= 1, s.image.fields[Row(5)] ^= 1; }, TBFW_E_FIELD_MISMATCH, Row(4)},
    {"section 2 follows each side's own chain", 0x1578, 0x1578,
     [](Scenario& s) {
       s.image.blockCounts = {7, 0, 0, 0, 0, 9};
       s.controller.blockFlags = 0x40 | 0x02 | 0x10;
       s.controller.blockCounts = {0, 4, 0, 5, 0, 0};
       s.controller.firstBlock = 0x0500;
     },
     kSuccess},
    {"PB differs at section 2", 0x1578, 0x1578, [](Scenario& s) { s.image.fields[Row(36)] ^= 0x04; },
     TBFW_E_FIELD_MISMATCH, Row(36)},
    {"PB ignored for reduced ports", 0x1576, 0x1576, [](Scenario& s) { s.image.fields[Row(36)] ^= 0x04; }, kSuccess},
    {"PA left at the old place when the image's chain grows", 0x1578, 0x1578,
     [](Scenario& s) {
       const std::uint32_t oldPa = Section2Base(s.image) + 0x12;
       s.image.blockCounts[0] += 1;
       s.image.fields[Row(35)] = 0x33;  // at the new place: differs from the controller's
       const std::uint8_t controllerPa = static_cast<std::uint8_t>(s.controller.fields[Row(35)]);
       const std::uint32_t base = s.placement.regionOffset;
       s.editImage = [=](std::vector<std::uint8_t>& b) { b[base + oldPa] = controllerPa; };
     },
     TBFW_E_FIELD_MISMATCH, Row(35)},
    {"controller without section 2", 0x1578, 0x1578, [](Scenario& s) { s.controller.blockFlags &= ~0x40; },
     TBFW_E_FIELD_MISMATCH, Row(35)},
    {"image without section 2", 0x1576, 0x1576, [](Scenario& s) { s.image.blockFlags &= ~0x40; },
     TBFW_E_FIELD_MISMATCH, Row(35)},
    {"neither side with section 2", 0x1578, 0x1578,
     [](Scenario& s) { s.image.blockFlags &= ~0x40, s.controller.blockFlags &= ~0x40; }, TBFW_E_FIELD_MISMATCH,
     Row(35)},
    {"section 2 of generation 1 is never used", 0x156D, 0x156D, [](Scenario& s) { s.image.blockFlags = 0; },
     kSuccess},
    {"image section 1 pointer past 32 bits", 0x1578, 0x1578, [](Scenario& s) { s.image.section1Offset = 0xFFFFFFF0; },
     kSuccess},
};

TEST(ValidateImage, ChecksInOrderAndFirstFailureDecides) {
  for (const OrderCase& c : kOrderCases) {
    Scenario s;
    s.controller = PlanFor(c.controllerId);
    s.image = PlanFor(c.imageId);
    c.change(s);
    const Outcome o = Validate(s);
    EXPECT_EQ(o.status, c.expected) << c.name;
    EXPECT_EQ(o.detail.row, c.row) << c.name;
    EXPECT_EQ(o.imageVersion, c.expected == kSuccess ? s.image.nvmVersion : kPresetVersion) << c.name;
  }
}

TEST(ClassifyDeviceId, KnowsExactlySevenIdentifiers) {
  struct Known {
    std::uint16_t id;
    std::uint32_t generation, reducedPorts;
  };
  const Known known[] = {{0x147E, 2, 1}, {0x1567, 0, 1}, {0x1569, 0, 0}, {0x156B, 1, 1},
                         {0x156D, 1, 0}, {0x1576, 3, 1}, {0x1578, 3, 0}};
  for (std::uint32_t id = 0; id <= 0xFFFF; ++id) {
    std::uint32_t generation = 9, reducedPorts = 9;
    const StatusCode status = ClassifyDeviceId(static_cast<std::uint16_t>(id), generation, reducedPorts);
    const Known* match = nullptr;
    for (const Known& k : known) match = k.id == id ? &k : match;
    EXPECT_EQ(status, match ? kSuccess : TBFW_E_UNKNOWN_DEVICE) << id;
    EXPECT_EQ(generation, match ? match->generation : 9) << id;
    EXPECT_EQ(reducedPorts, match ? match->reducedPorts : 9) << id;
  }
}

TEST(ValidateImage, ReturnsTheImageVersionNotTheControllers) {
  Scenario s = Scenario::Matching(0x156D);
  s.controller.nvmVersion = 0x30;
  s.image.nvmVersion = 0x1B;
  EXPECT_EQ(Validate(s).imageVersion, 27u);
}

// Every row of the table, on a controller it applies to: a change inside the row's masks
// on either side is found at that row, a change outside them is not.
TEST(ValidateImage, EveryRowComparesItsFieldUnderItsMasks) {
  for (std::size_t i = 0; i < kNvmFieldCheckCount; ++i) {
    const NvmFieldCheck& row = kNvmFieldChecks[i];
    if (row.offset == 0x0005) continue;  // the device identifier decides generation and variant first
    const std::uint16_t deviceId = row.generation == 1 ? 0x156D : row.generation == 2 ? 0x147E : 0x1578;
    std::vector<std::uint32_t> compared{row.byteMask & 0xFF};
    if (row.length == 4) compared.push_back(0x80000000);  // a 32-bit field is compared whole
    for (std::uint32_t flip : compared) {
      for (bool controllerSide : {false, true}) {
        Scenario s = Scenario::Matching(deviceId);
        (controllerSide ? s.controller : s.image).fields[i] ^= flip;
        const Outcome found = Validate(s);
        EXPECT_EQ(found.status, TBFW_E_FIELD_MISMATCH)
            << "row " << i + 1 << " flip " << flip << (controllerSide ? " controller" : " image");
        EXPECT_EQ(found.detail.row, i) << "row " << i + 1;
      }
    }
    const std::uint32_t outside = ~row.byteMask & 0xFF;
    Scenario masked = Scenario::Matching(deviceId);
    masked.image.fields[i] ^= outside;
    EXPECT_EQ(Validate(masked).status, kSuccess) << "row " << i + 1 << " outside its mask";
  }
}

TEST(ValidateImage, NarrowFieldsIgnoreTheRestOfTheImageWord) {
  Scenario s = Scenario::Matching(0x156D);
  // The image's word for a field is read whole. Row 21 is one byte at 0x217D and the
  // "Device ID" row two bytes at 0x05; the bytes after each belong to no field.
  s.editImage = [&](std::vector<std::uint8_t>& b) {
    for (std::uint32_t at : {0x217E, 0x217F, 0x2180, 0x07, 0x08}) b[s.placement.regionOffset + at] ^= 0xFF;
  };
  EXPECT_EQ(Validate(s).status, kSuccess);
}

}  // namespace
