// Truncated and hostile images: every value validation needs from the image is read only
// when it lies inside the image, and an image that lacks one is refused.
#include <gtest/gtest.h>

#include "controller/image_layout.h"
#include "tests/native/validation_scenario.h"

namespace {

constexpr std::uint32_t kBase = 0x100;  // where the region sits in these images

std::function<void(std::vector<std::uint8_t>&)> CutTo(std::size_t size) {
  return [size](std::vector<std::uint8_t>& b) { b.resize(size); };
}

struct BoundsCase {
  const char* name;
  std::uint16_t deviceId;
  std::function<void(Scenario&)> change;
  StatusCode expected;
  std::optional<std::size_t> row = std::nullopt;
};

// An empty image and a block chain starting past the end run through tbtfw-check
// (tests/cli/validate_test.sh).
const BoundsCase kBoundsCases[] = {
    {"shorter than the pointer", 0x156D, [](Scenario& s) { s.editImage = CutTo(2); }, TBFW_E_NO_IMAGE},
    {"blank pointer, no second one", 0x156D,
     [](Scenario& s) { s.editImage = [](std::vector<std::uint8_t>& b) { b.assign(0x1002, 0); }; }, TBFW_E_NO_IMAGE},
    {"pointer past the end", 0x156D,
     [](Scenario& s) { s.editImage = [](std::vector<std::uint8_t>& b) { b[0] = b[1] = 0xFF, b[2] = 0xFE; }; },
     TBFW_E_NO_IMAGE},
    {"second pointer past the end", 0x156D,
     [](Scenario& s) {
       s.placement = {0x4000, true, 0xFF};
       s.editImage = [](std::vector<std::uint8_t>& b) { b[0x1002] = 0xF0; };
     },
     TBFW_E_NO_IMAGE},
    {"region ends before its version", 0x156D, [](Scenario& s) { s.editImage = CutTo(kBase + 0x0A); }, TBFW_E_NO_IMAGE},
    {"region ends inside the section 1 pointer", 0x1578, [](Scenario& s) { s.editImage = CutTo(kBase + 0x111); },
     TBFW_E_NO_IMAGE},
    {"count straddles the end", 0x1578,
     [](Scenario& s) {
       s.image.firstBlock = 0x3000;
       s.editImage = CutTo(kBase + 0x3001);
     },
     TBFW_E_NO_IMAGE},
    {"huge blocks push section 2 past the end", 0x1578,
     [](Scenario& s) {
       // Counts at 0x400, 0x403FE and 0x803FC; section 2 at 0xC03FA.
       s.image.blockCounts = {0xFFFF, 0, 0xFFFF, 0, 0, 0xFFFF};
       s.editImage = CutTo(kBase + 0xC0000);
     },
     TBFW_E_NO_IMAGE, 34},
    {"section 1 past 32 bits", 0x1578, [](Scenario& s) { s.image.section1Offset = 0xFFFFFFF0; }, TBFW_E_NO_IMAGE},
    // The vendor and model ids end the region; the image side reads them at their width.
    {"model id one byte short", 0x1578,
     [](Scenario& s) { s.image.section1Offset = 0x21EC, s.editImage = CutTo(kBase + 0x21FF); }, TBFW_E_NO_IMAGE},
    {"model id just inside", 0x1578,
     [](Scenario& s) { s.image.section1Offset = 0x21EC, s.editImage = CutTo(kBase + 0x2200); }, kSuccess},
    {"last field's word one byte short", 0x156D, [](Scenario& s) { s.editImage = CutTo(kBase + 0x217D + 3); },
     TBFW_E_NO_IMAGE, 20},
    {"last field's word just inside", 0x156D, [](Scenario& s) { s.editImage = CutTo(kBase + 0x217D + 4); }, kSuccess},
};

TEST(ValidateImage, RefusesImagesThatEndTooSoon) {
  for (const BoundsCase& c : kBoundsCases) {
    Scenario s = Scenario::Matching(c.deviceId);
    c.change(s);
    const Outcome o = Validate(s);
    EXPECT_EQ(o.status, c.expected) << c.name;
    EXPECT_EQ(o.detail.row, c.row) << c.name;
  }
}

struct LayoutCase {
  const char* name;
  NvmRegionPlan plan;
  ImagePlacement placement;  // the region is found at its offset
  std::optional<std::uint32_t> section2Base;
};

NvmRegionPlan WithFlags(std::uint16_t deviceId, std::uint8_t flags) {
  NvmRegionPlan plan = PlanFor(deviceId);
  plan.blockFlags = flags;
  plan.blockCounts = {1, 2, 3, 4, 5, 6};
  return plan;
}

// Block sizes 6, 10, 14, 18, 22, 26 for the counts 1 to 6 of WithFlags.
const LayoutCase kLayoutCases[] = {
    {"second pointer behind zeros", PlanFor(0x1578), {0x4000, true, 0x00}, 0x441E},
    {"second pointer behind ones", PlanFor(0x1576), {0x20000, true, 0xFF}, 0x2041E},
    {"no section 2", WithFlags(0x1578, 0x3F), {0x100, false, 0}, std::nullopt},
    {"no blocks", WithFlags(0x1578, 0x40), {0x100, false, 0}, 0x500},
    {"every block", WithFlags(0x1578, 0x7F), {0x100, false, 0}, 0x500 + 96},
    {"blocks 0x02 and 0x08", WithFlags(0x1578, 0x4A), {0x100, false, 0}, 0x500 + 10 + 22},
};

TEST(ParseImageLayout, FindsTheRegionAndWalksTheChain) {
  for (const LayoutCase& c : kLayoutCases) {
    const std::vector<std::uint8_t> image = BuildImage(BuildRegion(c.plan), c.placement);
    NvmLayout layout;
    ASSERT_EQ(ParseImageLayout(image, layout), kSuccess) << c.name;
    EXPECT_EQ(layout.regionBase, c.placement.regionOffset) << c.name;
    EXPECT_EQ(layout.nvmVersion, c.plan.nvmVersion) << c.name;
    EXPECT_EQ(layout.section1Base, c.placement.regionOffset + c.plan.section1Offset) << c.name;
    EXPECT_EQ(layout.hasSection2 ? std::optional(layout.section2Base) : std::nullopt, c.section2Base) << c.name;
  }
}

}  // namespace
