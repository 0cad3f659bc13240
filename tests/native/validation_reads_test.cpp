// How validation reads the controller: which 4-byte words, in which order, and what it
// does when a read fails or returns less than it asked for.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "controller/controller_layout.h"
#include "tests/native/validation_scenario.h"

namespace {

using Reads = std::vector<std::uint32_t>;  // offsets of 4-byte reads

Reads Offsets(const std::vector<RegionController::Read>& reads) {
  Reads offsets;
  for (const auto& r : reads) {
    EXPECT_EQ(r.length, 4u) << "read at " << r.offset;
    offsets.push_back(r.offset);
  }
  return offsets;
}

// Which words validation reads is pinned below; here, that only the bytes asked for are
// written, and that a range never wraps past the end of the address space.
TEST(ReadNvmBytes, CopiesOnlyTheRangeAndNeverWraps) {
  RegionController controller({1, 2, 3, 4, 5, 6, 7, 8}, 0);
  std::array<std::uint8_t, 4> bytes{};
  ASSERT_EQ(ReadNvmBytes(controller, 3, 2, bytes.data()), kSuccess);  // across two words
  EXPECT_EQ(bytes, (std::array<std::uint8_t, 4>{4, 5, 0, 0}));
  EXPECT_EQ(ReadNvmBytes(controller, 0xFFFFFFFE, 4, bytes.data()), TBFW_E_FIELD_MISMATCH);
  EXPECT_EQ(ReadNvmBytes(controller, 0xFFFFFFFE, 2, bytes.data()), RegionController::kOutOfRegion);
  EXPECT_EQ(Offsets(controller.Reads()), (Reads{0x00, 0x04, 0xFFFFFFFC}));
}

struct CallCase {
  const char* name;
  std::function<NvmRegionPlan()> plan;
  Reads reads;
};

NvmRegionPlan StraddlingChain() {
  NvmRegionPlan plan = PlanFor(0x1578);
  plan.firstBlock = 0x403;  // the first count spans two words
  plan.blockFlags = 0x40 | 0x02;
  plan.blockCounts = {0, 5, 0, 0, 0, 0};
  plan.section1Offset = 0x383;
  return plan;
}

// The reduced-port variants read a subset of these words; which fields they compare is
// pinned field by field (ComparesEachFieldAtItsPlaceWidthAndMask).
const CallCase kCallCases[] = {
    {"generation 1, full ports",
     [] { return PlanFor(0x156D); },
     {0x04,  0x00,  0x04,  0x10,  0x140,  0x150,  0x144,  0x154,  0x148,  0x158,  0x14C, 0x15C,
      0x210, 0x214, 0x218, 0x21C, 0x11C0, 0x11C4, 0x11C8, 0x11CC, 0x2174, 0x2178, 0x217C}},
    {"generation 2",
     [] { return PlanFor(0x147E); },
     {0x04, 0x00, 0x04, 0x10, 0x14C, 0x154, 0x150, 0x158, 0x1F0, 0x1F4, 0x1F8, 0x1FC, 0x11A4}},
    // Identifier; section 1 pointer; flags; first block; counts of blocks 0x04, 0x01 and
    // 0x20 (section 2 at 0x41E); level bits; rows 33 to 40; vendor and model ids in
    // section 1 (at 0x380), one word read for each; then the mode: native flag (0x7B),
    // flash size (0x45), the ARC parameters' pointer at 0x75 (two words) and the PD
    // pointer at ARC + 0x10C.
    {"generation 3, full ports",
     [] { return PlanFor(0x1578); },
     {0x04,  0x10C, 0x110, 0x00,  0x00, 0x04,  0x400, 0x40C, 0x414, 0x00, 0x04, 0x10,  0x430,
      0x430, 0x120, 0x128, 0x134, 0xB4, 0x390, 0x390, 0x78,  0x44,  0x74, 0x78, 0x110C}},
    // Section 2 at 0x403 + 2 + 20 = 0x419: PA at 0x42B, PB at 0x42C. Section 1 at 0x383:
    // the vendor id spans the words at 0x390 and 0x394, the model id lies in the second.
    {"generation 3, count and vendor id across word boundaries",
     StraddlingChain,
     {0x04,  0x10C, 0x110, 0x00, 0x00,  0x04,  0x400, 0x404, 0x00, 0x04, 0x10, 0x428, 0x42C,
      0x120, 0x128, 0x134, 0xB4, 0x390, 0x394, 0x394, 0x78,  0x44, 0x74, 0x78, 0x110C}},
};

TEST(ValidateImage, ReadsExactlyTheseControllerWords) {
  for (const CallCase& c : kCallCases) {
    Scenario s;
    s.controller = s.image = c.plan();
    RegionController controller(BuildRegion(s.controller), 0x20);
    std::uint32_t version = 0;
    EXPECT_EQ(ValidateImage(controller, s.ImageBytes(), version), kSuccess) << c.name;
    EXPECT_EQ(controller.VersionCalls(), 1u) << c.name;
    EXPECT_EQ(Offsets(controller.Reads()), c.reads) << c.name;
  }
}

// Whichever controller read fails, the version's or a word's, validation stops at it with
// its status, reads nothing more and does not report a version.
TEST(ValidateImage, StopsAtAFailingControllerRead) {
  for (std::uint16_t deviceId : {std::uint16_t{0x156D}, std::uint16_t{0x147E}, std::uint16_t{0x1578}}) {
    const Scenario s = Scenario::Matching(deviceId);
    const Outcome noVersion = Validate(s, [](RegionController& c) { c.FailVersion(5); });
    EXPECT_EQ(noVersion.status, 5u) << deviceId;
    EXPECT_TRUE(noVersion.reads.empty()) << deviceId;
    const std::size_t total = Validate(s).reads.size();
    for (std::size_t n = 1; n <= total; ++n) {
      const StatusCode provider = 0x8004100Au + static_cast<StatusCode>(n);
      const Outcome o = Validate(s, [&](RegionController& c) { c.FailRead(n, provider); });
      EXPECT_EQ(o.status, provider) << deviceId << " read " << n;
      EXPECT_EQ(o.reads.size(), n) << deviceId << " read " << n;
      EXPECT_EQ(o.imageVersion, kPresetVersion) << deviceId << " read " << n;
    }
  }
}

// An unknown identifier, and a known one of generation 0, which no image is for.
TEST(ValidateImage, RefusesAnUnidentifiedControllerBeforeTheImage) {
  for (std::uint16_t deviceId : {std::uint16_t{0x1577}, std::uint16_t{0x1569}}) {
    const Outcome refused = Validate(Scenario::Matching(deviceId));
    EXPECT_EQ(refused.status, TBFW_E_UNSUPPORTED_CONTROLLER) << deviceId;
    EXPECT_EQ(Offsets(refused.reads), Reads{0x04}) << deviceId;
  }
}

// A read that succeeds with fewer bytes than asked for leaves zeros in the rest of the word,
// not what the stack held: here the controller holds 0x44, the reply brings nothing, and
// the image's 0 matches.
TEST(ValidateImage, ShortReplyComparesAsZeroBytes) {
  Scenario s = Scenario::Matching(0x156D);
  s.controller.fields[3] = 0x44, s.image.fields[3] = 0x00;  // row 4, the 6th read
  EXPECT_EQ(Validate(s, [](RegionController& c) { c.ShortenRead(6, 0); }).status, kSuccess);
}

TEST(ValidateImage, MissingSectionIsNeverRead) {
  Scenario s = Scenario::Matching(0x1578);
  s.controller.blockFlags = 0x25;
  const Outcome o = Validate(s);
  EXPECT_EQ(o.status, TBFW_E_FIELD_MISMATCH);
  // Identifier, section 1 pointer, flags, level bits, rows 33 and 34; then row 35 fails.
  EXPECT_EQ(Offsets(o.reads), (Reads{0x04, 0x10C, 0x110, 0x00, 0x00, 0x04, 0x10}));
}

}  // namespace
