#include "controller/image_validation.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

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

// Cases that need the order of the checks or a rule of their own. Each generation and
// variant passing, each check failing alone, the second region pointer and section 2
// missing or moved on either side run through tbtfw-check on the builder's files
// (tests/cli/validate_test.sh). Generation 1 has no section 1, so any generation-1 image
// passing shows that its board identity is not compared.
const OrderCase kOrderCases[] = {
    {"generation before variant", 0x156B, 0x1578, [](Scenario&) {}, TBFW_E_GENERATION_MISMATCH},
    {"the image's version reported, not the controller's", 0x156D, 0x156D,
     [](Scenario& s) { s.controller.nvmVersion = 0x30, s.image.nvmVersion = 0x1B; }, kSuccess},
    {"only the low three level bits count", 0x156D, 0x156D,
     [](Scenario& s) { s.controller.levelByte = 0x02, s.image.levelByte = 0xFA; }, kSuccess},
    {"level before fields", 0x156D, 0x156D, [](Scenario& s) { s.image.levelByte = 0x07, s.image.fields[Row(3)] ^= 1; },
     TBFW_E_LEVEL_MISMATCH},
    {"first mismatch in table order, not offset order", 0x156D, 0x156D,
     [](Scenario& s) { s.image.fields[Row(4)] ^= 1, s.image.fields[Row(5)] ^= 1; }, TBFW_E_FIELD_MISMATCH, Row(4)},
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
    {"section 2 of generation 1 is never used", 0x156D, 0x156D, [](Scenario& s) { s.image.blockFlags = 0; }, kSuccess},
    {"board identity after the table", 0x1578, 0x1578,
     [](Scenario& s) { s.image.vendorId ^= 1, s.image.fields[Row(40)] ^= 0x80; }, TBFW_E_FIELD_MISMATCH, Row(40)},
    {"board identity at each side's own section 1", 0x1576, 0x1576, [](Scenario& s) { s.image.section1Offset = 0x600; },
     kSuccess},
    {"bytes after the identifier in the image's word belong to no field", 0x156D, 0x156D,
     [](Scenario& s) {
       const std::uint32_t base = s.placement.regionOffset;
       s.editImage = [=](std::vector<std::uint8_t>& b) { b[base + 7] ^= 0xFF, b[base + 8] ^= 0xFF; };
     },
     kSuccess},
    // The "Device ID" rows compare the identifier's two bytes at 0x5 on every generation:
    // the byte after them differing on one side is no mismatch.
    {"the byte after the identifier, generation 2", 0x157E, 0x157E,
     [](Scenario& s) {
       const std::uint32_t base = s.placement.regionOffset;
       s.editImage = [=](std::vector<std::uint8_t>& b) { b[base + 7] ^= 0xFF; };
     },
     kSuccess},
    {"the byte after the identifier, generation 3", 0x1578, 0x1578,
     [](Scenario& s) { s.editController = [](std::vector<std::uint8_t>& b) { b[7] ^= 0xFF; }; }, kSuccess},
    {"an image of an older generation than the controller", 0x1578, 0x156D, [](Scenario&) {},
     TBFW_E_GENERATION_MISMATCH},
    {"a generation-1 image on a generation-2 controller", 0x157E, 0x156B, [](Scenario&) {}, TBFW_E_GENERATION_MISMATCH},
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

// The compared fields written out by hand, apart from kNvmFieldChecks: the image builder
// places fields from that table, so a wrong place, width or mask in it would go unseen by
// a test that takes them from it too. The "Device ID" rows are left out: a changed
// identifier is refused as another device first, except for the two generation-2
// identifiers, whose row 22 runs through tbtfw-check ("gen 2 identifiers differ").
struct PinnedField {
  std::size_t row;  // in table order from 1; 0 for the board identity, compared after it
  const char16_t* name;
  std::uint32_t generation, allVariants, section, offset, length, byteMask;
};

// clang-format off
constexpr PinnedField kPinnedFields[] = {
    {2, u"PCIe Settings", 1, 1, 0, 0x0010, 4, 0xFF},
    {3, u"CIO-Port0_TX", 1, 1, 0, 0x0143, 1, 0xFF},  {4, u"CIO-Port0_RX", 1, 1, 0, 0x0153, 1, 0xFF},
    {5, u"CIO-Port1_TX", 1, 1, 0, 0x0147, 1, 0xFF},  {6, u"CIO-Port1_RX", 1, 1, 0, 0x0157, 1, 0xFF},
    {7, u"CIO-Port2_TX", 1, 0, 0, 0x014B, 1, 0xFF},  {8, u"CIO-Port2_RX", 1, 0, 0, 0x015B, 1, 0xFF},
    {9, u"CIO-Port3_TX", 1, 0, 0, 0x014F, 1, 0xFF},  {10, u"CIO-Port3_RX", 1, 0, 0, 0x015F, 1, 0xFF},
    {11, u"Snk0_0(DP-in)", 1, 1, 0, 0x0211, 1, 0xFF}, {12, u"Snk0_1(DP-in)", 1, 1, 0, 0x0215, 1, 0xFF},
    {13, u"Snk0_2(DP-in)", 1, 1, 0, 0x0219, 1, 0xFF}, {14, u"Snk0_3(DP-in)", 1, 1, 0, 0x021D, 1, 0xFF},
    {15, u"Snk1_0(DP-in)", 1, 0, 0, 0x11C3, 1, 0xFF}, {16, u"Snk1_1(DP-in)", 1, 0, 0, 0x11C7, 1, 0xFF},
    {17, u"Snk1_2(DP-in)", 1, 0, 0, 0x11CB, 1, 0xFF}, {18, u"Snk1_3(DP-in)", 1, 0, 0, 0x11CF, 1, 0xFF},
    {19, u"PA(DP-out)", 1, 1, 0, 0x2175, 1, 0xFF},    {20, u"PB(DP-out)", 1, 1, 0, 0x2179, 1, 0xFF},
    {21, u"Src0(DP-out)", 1, 1, 0, 0x217D, 1, 0xAA},
    {23, u"PCIe Settings", 2, 1, 0, 0x0010, 4, 0xFF},
    {24, u"CIO-Port0_TX", 2, 1, 0, 0x014F, 1, 0xFF},  {25, u"CIO-Port0_RX", 2, 1, 0, 0x0157, 1, 0xFF},
    {26, u"CIO-Port1_TX", 2, 1, 0, 0x0153, 1, 0xFF},  {27, u"CIO-Port1_RX", 2, 1, 0, 0x015B, 1, 0xFF},
    {28, u"Snk0_0(DP-in)", 2, 1, 0, 0x01F1, 1, 0xFF}, {29, u"Snk0_1(DP-in)", 2, 1, 0, 0x01F5, 1, 0xFF},
    {30, u"Snk0_2(DP-in)", 2, 1, 0, 0x01F9, 1, 0xFF}, {31, u"Snk0_3(DP-in)", 2, 1, 0, 0x01FD, 1, 0xFF},
    {32, u"PA(DP-out)", 2, 1, 0, 0x11A5, 1, 0xFF},
    {34, u"PCIe Settings", 3, 1, 0, 0x0010, 4, 0xFF},
    {35, u"PA", 3, 1, 2, 0x0012, 1, 0xCC},            {36, u"PB", 3, 0, 2, 0x0013, 1, 0xCC},
    {37, u"Snk0", 3, 1, 0, 0x0121, 1, 0xFF},          {38, u"Snk1", 3, 1, 0, 0x0129, 1, 0xFF},
    {39, u"Src0", 3, 1, 0, 0x0136, 1, 0xF0},          {40, u"PA/PB (USB2)", 3, 1, 0, 0x00B6, 1, 0xC0},
    {0, u"Vendor ID", 3, 1, 1, 0x0010, 2, 0xFF},      {0, u"Model ID", 3, 1, 1, 0x0012, 2, 0xFF},
};
// clang-format on

// A controller of `generation` and variant, or 0 when there is none (generation 2 comes
// with reduced ports only).
std::uint16_t DeviceFor(std::uint32_t generation, bool reducedPorts) {
  constexpr std::uint16_t kDevices[3][2] = {{0x156D, 0x156B}, {0, 0x157E}, {0x1578, 0x1576}};
  return kDevices[generation - 1][reducedPorts ? 1 : 0];
}

// Each field on each controller of its generation: every bit of its lowest byte is
// compared on either side exactly when the mask holds it, its highest byte is compared,
// and the rest of the image's word is not part of it.
TEST(ValidateImage, ComparesEachFieldAtItsPlaceWidthAndMask) {
  for (const PinnedField& f : kPinnedFields) {
    for (bool reduced : {false, true}) {
      const std::uint16_t deviceId = DeviceFor(f.generation, reduced);
      if (deviceId == 0) continue;
      const bool applies = f.allVariants == 1 || !reduced;
      // Validates with one byte of the field's word changed on one side.
      auto changed = [&](std::uint32_t at, std::uint8_t flip, bool controllerSide) {
        Scenario s = Scenario::Matching(deviceId);
        const std::uint32_t bases[] = {0, s.image.section1Offset, Section2Base(s.image)};
        const std::uint32_t where = bases[f.section] + f.offset + at + (controllerSide ? 0 : s.placement.regionOffset);
        (controllerSide ? s.editController : s.editImage) = [=](std::vector<std::uint8_t>& b) { b[where] ^= flip; };
        return Validate(s);
      };
      auto foundHere = [&](const Outcome& o) {
        return o.status == TBFW_E_FIELD_MISMATCH && o.detail.field != nullptr &&
               std::u16string_view(o.detail.field->name) == f.name &&
               o.detail.row == (f.row != 0 ? std::optional<std::size_t>(f.row - 1) : std::nullopt);
      };
      const std::string what = "row " + std::to_string(f.row) + (reduced ? ", reduced ports" : "");
      for (bool controllerSide : {false, true}) {
        for (std::uint32_t bit = 0x01; bit <= 0x80; bit <<= 1) {
          const Outcome o = changed(0, static_cast<std::uint8_t>(bit), controllerSide);
          const bool compared = applies && (f.byteMask & bit) != 0;
          EXPECT_TRUE(compared ? foundHere(o) : o.status == kSuccess) << what << " bit " << bit << controllerSide;
        }
      }
      if (f.length > 1) {
        EXPECT_EQ(foundHere(changed(f.length - 1, 0x80, false)), applies) << what << " high byte";
      }
      for (std::uint32_t at = f.length; at < 4; ++at) EXPECT_FALSE(foundHere(changed(at, 0xFF, false))) << what << at;
    }
  }
}

}  // namespace
