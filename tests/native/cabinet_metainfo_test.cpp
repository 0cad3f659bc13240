#include "tools/tbtfw-check/cabinet_metainfo.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "emulator/nvm_builder.h"

namespace {

// The GUIDs fwupd shows for these instance ids (fwupdtool get-devices), and name-based
// UUIDs of the DNS namespace as any RFC 4122 implementation makes them.
TEST(CabinetMetainfo, GuidsAreFwupdsForTheHostInstanceIds) {
  const struct {
    std::string name;
    const char* guid;
  } cases[] = {
      {HostInstanceId(0x0A11, 0x0B22, false), "3fd90d14-3049-5e77-9273-172b25d1c156"},
      {HostInstanceId(0x0A11, 0x0B22, true), "6ef9f5f4-4ffa-5be7-9fe1-0e9f6739cb0c"},
      {HostInstanceId(0x8086, 0x0001, false), "036fa31a-5087-57ae-b48a-730d1bd15d85"},
      {HostInstanceId(0xFFFF, 0x0000, true), "4361e62e-2ecc-54ce-830e-85d42a5fe924"},
      {"", "4ebd0208-8328-5d69-8c44-ec50939c0967"},
  };
  for (const auto& c : cases) EXPECT_EQ(NameBasedGuid(c.name), c.guid) << "name '" << c.name << "'";
  EXPECT_EQ(HostInstanceId(0xFFFF, 0x0000, true), "TBT-ffff0000-native");
}

// As fwupd shows a controller's version: each byte as two hexadecimal digits.
TEST(CabinetMetainfo, VersionIsTheKernelsNvmVersionInPairForm) {
  const struct {
    std::uint8_t major, minor;
    const char* version;
    bool decimal;
  } cases[] = {
      {0x27, 0x00, "27.00", true},  {0x05, 0x03, "05.03", true},  {0x09, 0x00, "09.00", true},
      {0x1B, 0x00, "1b.00", false}, {0x40, 0x1A, "40.1a", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PairVersion(c.major, c.minor), c.version);
    EXPECT_EQ(IsDecimalPair(c.version), c.decimal) << c.version;
  }
}

struct FactsCase {
  const char* name;
  std::uint16_t deviceId;
  std::function<void(NvmRegionPlan&)> change;
  std::function<void(std::vector<std::uint8_t>&)> edit;
  StatusCode refused;  // 0: accepted
  const char16_t* field = nullptr;
};

// Images no controller would accept are refused with the status validation would give.
TEST(CabinetMetainfo, RefusesWhatNoControllerAccepts) {
  const auto none = [](NvmRegionPlan&) {};
  const auto keep = [](std::vector<std::uint8_t>&) {};
  const FactsCase cases[] = {
      {"generation 3, identity read", 0x1578, none, keep, kSuccess},
      {"generation 1 names no board", 0x156D, none, keep, kSuccess},
      {"unknown device id", 0x1577, none, keep, TBFW_E_UNKNOWN_DEVICE},
      {"generation 0", 0x1567, none, keep, TBFW_E_UNSUPPORTED_CONTROLLER},
      {"both pointers blank", 0x156D, none, [](std::vector<std::uint8_t>& b) { b[0] = b[1] = b[2] = 0; },
       TBFW_E_NO_IMAGE},
      {"ends before a region field", 0x156D, none, [](std::vector<std::uint8_t>& b) { b.resize(0x1100); },
       TBFW_E_NO_IMAGE, u"Snk1_0(DP-in)"},
      {"section 1 beyond the image", 0x1578, [](NvmRegionPlan& p) { p.section1Offset = 0x100000; }, keep,
       TBFW_E_NO_IMAGE, u"Vendor ID"},
      {"larger than any NVM", 0x156D, none, [](std::vector<std::uint8_t>& b) { b.resize((16u << 20) + 1); },
       TBFW_E_NO_IMAGE},
      {"16 MiB exactly", 0x156D, none, [](std::vector<std::uint8_t>& b) { b.resize(16u << 20); }, kSuccess},
      {"reduced ports skip the full-port fields", 0x156B, none, [](std::vector<std::uint8_t>& b) { b.resize(0x1100); },
       TBFW_E_NO_IMAGE, u"PA(DP-out)"},
  };
  for (const FactsCase& c : cases) {
    NvmRegionPlan plan = PlanFor(c.deviceId);
    c.change(plan);
    std::vector<std::uint8_t> image = BuildImage(BuildRegion(plan));
    c.edit(image);
    CabinetRefusal refusal;
    const auto facts = ReadCabinetFacts(image, refusal);
    if (c.refused == kSuccess) {
      ASSERT_TRUE(facts.has_value()) << c.name;
      EXPECT_EQ(facts->versionMajor, plan.nvmVersion) << c.name;
      EXPECT_EQ(facts->vendorId.has_value(), c.deviceId == 0x1578) << c.name;
      if (facts->vendorId) {
        EXPECT_EQ(*facts->vendorId, plan.vendorId) << c.name;
      }
      if (facts->modelId) {
        EXPECT_EQ(*facts->modelId, plan.modelId) << c.name;
      }
      continue;
    }
    EXPECT_FALSE(facts.has_value()) << c.name;
    EXPECT_EQ(refusal.status, c.refused) << c.name;
    EXPECT_EQ(refusal.field == nullptr ? std::u16string() : std::u16string(refusal.field->name),
              c.field == nullptr ? std::u16string() : std::u16string(c.field))
        << c.name;
  }
}

// The mode the cabinet offers the image to is the image's own: bit 0x20 of region byte
// 0x7B, whatever else that byte holds.
TEST(CabinetMetainfo, TheImageNamesItsOwnEnumerationMode) {
  const struct {
    std::uint8_t nativeFlags;
    bool native;
  } cases[] = {{0x00, false}, {0x20, true}, {0xDF, false}, {0xFF, true}};
  for (const auto& c : cases) {
    NvmRegionPlan plan = PlanFor(0x1578);
    plan.nativeFlags = c.nativeFlags;
    CabinetRefusal refusal;
    const auto facts = ReadCabinetFacts(BuildImage(BuildRegion(plan)), refusal);
    ASSERT_TRUE(facts.has_value());
    EXPECT_EQ(facts->native, c.native) << int{c.nativeFlags};
  }
}

TEST(CabinetMetainfo, MetainfoEscapesOutsideTextAndNamesWhatFwupdNeeds) {
  const MetainfoText text{"com.example.<x>", "A & B", "say \"hi\"", "it's <new>", ""};
  const std::string guids[] = {"g-1", "g-2"};
  const std::string xml = BuildMetainfo(text, guids, "27.00", "firmware.bin", "ab12");
  for (const char* expected :
       {"<id>com.example.&lt;x&gt;</id>", "<name>A &amp; B</name>", "say &quot;hi&quot;", "it&apos;s &lt;new&gt;",
        "<firmware type=\"flashed\">g-1</firmware>", "<firmware type=\"flashed\">g-2</firmware>", "version=\"27.00\">",
        "filename=\"firmware.bin\" target=\"content\" type=\"sha256\">ab12<",
        "<value key=\"LVFS::VersionFormat\">pair</value>",
        "<value key=\"LVFS::UpdateProtocol\">com.intel.thunderbolt</value>"}) {
    EXPECT_NE(xml.find(expected), std::string::npos) << expected << " not in\n" << xml;
  }
  EXPECT_EQ(xml.find("date="), std::string::npos);
}

}  // namespace
