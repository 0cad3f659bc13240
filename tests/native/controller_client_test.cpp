#include "controller/controller_client.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "emulator/emulated_wmi.h"

namespace {

// The id is quoted in the path: a backslash or a double quote in it is escaped, so it
// cannot end the value early; a path that would not fit whole is no path.
TEST(ObjectPathFor, EscapesTheIdAndRefusesWhatDoesNotFit) {
  const std::u16string prefix = u"SdkTbtController.ControllerId=\"";
  const std::size_t room = kObjectPathCapacity - 1 - prefix.size() - 1;  // for the id
  struct Case {
    std::u16string id;
    std::u16string expected;  // empty: no path
  };
  const Case cases[] = {
      {u"PCI\\VEN_8086", prefix + u"PCI\\\\VEN_8086\""},
      {u"a\"b", prefix + u"a\\\"b\""},
      {u"x\",SdkTbtController.ControllerId=\"y", prefix + u"x\\\",SdkTbtController.ControllerId=\\\"y\""},
      {u"", prefix + u"\""},
      {std::u16string(room, u'x'), prefix + std::u16string(room, u'x') + u"\""},
      {std::u16string(room + 1, u'x'), u""},
      {std::u16string(room - 1, u'x') + u"\\", u""},  // fits only unescaped
      {std::u16string(u"a\0b", 3), u""},
  };
  for (const Case& c : cases) EXPECT_EQ(ObjectPathFor(c.id), c.expected) << c.id.size();
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

// A method's outcome is its "ReturnValue" exactly as the provider gave it: a value with
// the high bit set is a failure like any other non-zero one, and a reply that is no
// integer (never set, left out, a text) is no answer, never 0 and so never success.
TEST(ControllerClient, OnlyAnIntegerZeroIsSuccess) {
  const std::uint8_t image[4] = {1, 2, 3, 4};
  const auto call = [&](Connected& c, const std::string& method) {
    std::uint32_t version = 0;
    std::array<std::uint8_t, 4> word{};
    if (method == "GetCurrentNvmVersion") return c.client.GetCurrentNvmVersion(version);
    if (method == "ReadFirmware") return c.client.ReadFirmware(0, 4, word.data());
    return c.client.UpdateFirmware(image);
  };
  for (const std::string method : {"GetCurrentNvmVersion", "ReadFirmware", "UpdateFirmware"}) {
    for (const std::uint32_t value : {0x80000000u, 0x80000005u, 0xFFFFFFFFu, 0x7FFFFFFFu, 1u}) {
      Connected c;
      c.model.returnValues = {{method, value}};
      c.client.ConnectController();
      EXPECT_EQ(call(c, method), value) << method << " 0x" << std::hex << value;
    }
    for (const Reply form : {Reply::kNull, Reply::kMissing, Reply::kText}) {
      Connected c;
      c.model.replies = {{method + ".ReturnValue", form}};
      c.client.ConnectController();
      EXPECT_EQ(call(c, method), TBFW_E_NO_PROVIDER) << method << " reply " << static_cast<int>(form);
    }
  }
}

}  // namespace
