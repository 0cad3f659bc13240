#include "emulator/scenario.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/sha256.h"

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(Scenario, ReadsTheControllerFaultsAndReturnValues) {
  ControllerModel model;
  std::u16string region;
  const std::string error =
      ReadScenario(Bytes("[controller]\r\nregion = dumps\\r.bin\r\nnvm_version=0x33\r\nupdate_ms=250\r\n"
                         "controller_id=PCI\\X\\1\r\n[faults]\r\nNoInstance=1\r\nExecFails=0\r\n"
                         "SizeFails=1\r\n[return_values]\r\nUpdateFirmware=5\r\nReadFirmware=0x10430003\r\n"
                         "[replies]\r\nReadFirmware.data = short\r\nUpdateFirmware.ReturnValue=text\r\n"),
                   model, region);
  ASSERT_EQ(error, "");
  EXPECT_EQ(region, u"dumps\\r.bin");
  EXPECT_EQ(model.nvmVersion, 0x33u);
  EXPECT_EQ(model.updateMilliseconds, 250u);
  EXPECT_EQ(model.controllerId, u"PCI\\X\\1");
  EXPECT_EQ(model.faults, (std::set<Fault>{Fault::kNoInstance, Fault::kSizeFails}));
  EXPECT_EQ(model.returnValues,
            (std::map<std::string, std::uint32_t>{{"UpdateFirmware", 5}, {"ReadFirmware", 0x10430003}}));
  EXPECT_EQ(model.replies, (std::map<std::string, Reply>{{"ReadFirmware.data", Reply::kShort},
                                                         {"UpdateFirmware.ReturnValue", Reply::kText}}));
}

TEST(Scenario, RefusesWhatItCannotUse) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"[controller]\nnvm_version=1\n", "[controller] region is missing"},
      {"[controller]\nregion=r.bin\n", "[controller] nvm_version is missing or not a number"},
      {"[controller]\nregion=r.bin\nnvm_version=1\n[faults]\nNoData=yes\n", "[faults] NoData must be 0 or 1"},
      {"[controller]\nregion=r.bin\nnvm_version=1\n[return_values]\nUpdateFirmware=-\n",
       "[return_values] UpdateFirmware is not a number"},
      {"[controller]\nregion=r.bin\nnvm_version=1\n[replies]\nReadFirmware.ReturnValue=short\n",
       "[replies] ReadFirmware.ReturnValue must be null, missing, text"},
      {"[controller]\nregion=r.bin\nnvm_version=1\n[replies]\nReadFirmware.data=zero\n",
       "[replies] ReadFirmware.data must be null, missing, text, short or empty"},
      {"[controller]\nregion=r.bin\nnvm_version=1\nupdate_ms=600001\n",
       "[controller] update_ms must be a number of milliseconds up to 600000"},
  };
  for (const Case& c : cases) {
    ControllerModel model;
    std::u16string region;
    EXPECT_EQ(ReadScenario(Bytes(c.text), model, region), c.error) << c.text;
  }
}

TEST(Sha256, MatchesTheStandardVectors) {
  struct Case {
    std::string input;
    const char* digest;
  };
  const Case cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Case& c : cases) EXPECT_EQ(Sha256Hex(Bytes(c.input)), c.digest) << c.input.size();
}

}  // namespace
