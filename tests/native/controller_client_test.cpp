#include "controller/controller_client.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "emulator/emulated_wmi.h"

namespace {

TEST(EscapeBackslashes, DoublesEveryBackslashAndStopsAtTheCapacity) {
  struct Case {
    std::u16string source;
    std::size_t capacity;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"a\\b", 16, u"a\\\\b"},
      {u"abcdef", 4, u"abc"},
      {u"ab\\c", 4, u"ab\\"},   // the doubled backslash does not fit
      {u"a\\bc", 4, u"a\\\\"},
      {u"", 4, u""},
      {u"abc", 1, u""},
  };
  for (const Case& c : cases) {
    std::vector<char16_t> out(c.capacity + 1, u'#');
    EscapeBackslashes(c.source.c_str(), out.data(), c.capacity);
    EXPECT_EQ(std::u16string(out.data()), c.expected) << c.capacity;
    EXPECT_EQ(out[c.capacity], u'#');
  }
  std::array<char16_t, 2> untouched{u'#', u'#'};
  EscapeBackslashes(u"x", untouched.data(), 0);
  EscapeBackslashes(nullptr, untouched.data(), 2);
  EXPECT_EQ(untouched[0], u'#');
}

// A controller that is powered and whose service runs, reached through the client. The
// update worker's tests run the client end to end: its call sequence, every fault and
// every mistyped answer; here, what a run never shows.
struct Connected {
  ControllerModel model;
  EmulatedComRuntime com{model};
  ControllerClient client{com};

  Connected() {
    model.serviceRunning = true;
    model.powered = true;
    model.nvmVersion = 0x21;
    model.region = {0x10, 0x11, 0x12, 0x13};
  }
};

// The emulated provider escapes the path by the same rule, so only this literal pins it.
TEST(ControllerClient, EscapesTheObjectPath) {
  Connected c;
  ASSERT_TRUE(c.client.ConnectController());
  ASSERT_TRUE(c.client.FindController());
  EXPECT_EQ(c.client.ObjectPath(), u"SdkTbtController.ControllerId=\"PCI\\\\VEN_8086&DEV_1578\\\\3&11583659&0&A8\"");
}

TEST(ControllerClient, WithoutAConnectionNothingRuns) {
  Connected c;
  std::uint32_t version = 0;
  EXPECT_EQ(c.client.GetCurrentNvmVersion(version), TBFW_E_NO_PROVIDER);
  EXPECT_FALSE(c.client.FindController());
  EXPECT_TRUE(c.model.log.empty());
}

// The out-parameters are taken even when the provider reports a failure.
TEST(ControllerClient, AnswersOfAFailedCallAreStillTaken) {
  Connected c;
  c.model.returnValues = {{"ReadFirmware", 9}};
  c.client.ConnectController();
  std::array<std::uint8_t, 4> word{};
  EXPECT_EQ(c.client.ReadFirmware(0, 4, word.data()), 9u);
  EXPECT_EQ(word[0], 0x10);
  c.model.faults = {Fault::kNoReturnValue};
  std::uint32_t version = 0;
  EXPECT_EQ(c.client.GetCurrentNvmVersion(version), TBFW_E_NO_PROVIDER);
  EXPECT_EQ(version, 0x21u);
}

}  // namespace
