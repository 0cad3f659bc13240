#include "controller/controller_client.h"

#include <gtest/gtest.h>

#include <algorithm>
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
      {u"abc", 16, u"abc"},
      {u"a\\b", 16, u"a\\\\b"},
      {u"\\\\", 16, u"\\\\\\\\"},
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

// A controller that is powered and whose service runs, reached through the client.
struct Connected {
  ControllerModel model;
  EmulatedComRuntime com{model};
  ControllerClient client{com};

  Connected() {
    model.serviceRunning = true;
    model.powered = true;
    model.nvmVersion = 0x21;
    model.region = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17};
  }
  int MethodCalls() const {
    return static_cast<int>(std::count_if(model.log.begin(), model.log.end(),
                                          [](const std::string& l) { return l.rfind("ExecMethod", 0) == 0; }));
  }
};

TEST(ControllerClient, EscapesTheObjectPath) {
  Connected c;
  ASSERT_TRUE(c.client.ConnectController());
  ASSERT_TRUE(c.client.FindController());
  EXPECT_EQ(c.client.ObjectPath(), u"SdkTbtController.ControllerId=\"PCI\\\\VEN_8086&DEV_1578\\\\3&11583659&0&A8\"");
  Connected plain;
  plain.model.controllerId = u"plain";
  plain.client.ConnectController();
  plain.client.FindController();
  EXPECT_EQ(plain.client.ObjectPath(), u"SdkTbtController.ControllerId=\"plain\"");
}

TEST(ControllerClient, ReadsTheVersionAndFirmware) {
  Connected c;
  ASSERT_TRUE(c.client.ConnectController());
  std::uint32_t version = 0;
  EXPECT_EQ(c.client.GetCurrentNvmVersion(version), kSuccess);
  EXPECT_EQ(version, 0x21u);
  std::array<std::uint8_t, 4> word{};
  EXPECT_EQ(c.client.ReadFirmware(4, 4, word.data()), kSuccess);
  EXPECT_EQ(word, (std::array<std::uint8_t, 4>{0x14, 0x15, 0x16, 0x17}));
  const std::vector<std::uint8_t> image = {1, 2, 3};
  EXPECT_EQ(c.client.UpdateFirmware(image), kSuccess);
  ASSERT_EQ(c.model.writtenImages.size(), 1u);
  EXPECT_EQ(c.model.writtenImages[0], image);
}

// Each failure point of a method call, and the status every method then gives.
struct FaultCase {
  Fault fault;
  StatusCode status;
  bool methodRuns;
};

const FaultCase kFaultCases[] = {
    {Fault::kNoInstance, TBFW_E_NO_CONTROLLER, false},
    {Fault::kQueryFails, TBFW_E_NO_CONTROLLER, false},
    {Fault::kIdNotString, TBFW_E_NO_CONTROLLER, false},
    {Fault::kIdTooLong, TBFW_E_NO_CONTROLLER, false},
    {Fault::kNoClass, TBFW_E_NO_PROVIDER, false},
    {Fault::kNoMethod, TBFW_E_NO_PROVIDER, false},
    {Fault::kExecFails, TBFW_E_NO_PROVIDER, true},
    {Fault::kNoOutParams, TBFW_E_NO_PROVIDER, true},
    {Fault::kNoReturnValue, TBFW_E_NO_PROVIDER, true},
};

TEST(ControllerClient, EveryFailurePointGivesItsStatus) {
  for (const FaultCase& f : kFaultCases) {
    for (int method = 0; method < 3; ++method) {
      Connected c;
      c.model.faults = {f.fault};
      ASSERT_TRUE(c.client.ConnectController());
      std::uint32_t version = 0x99;
      std::array<std::uint8_t, 4> word{};
      const std::vector<std::uint8_t> image = {1};
      const StatusCode status = method == 0   ? c.client.GetCurrentNvmVersion(version)
                                : method == 1 ? c.client.ReadFirmware(0, 4, word.data())
                                              : c.client.UpdateFirmware(image);
      EXPECT_EQ(status, f.status) << static_cast<int>(f.fault) << " method " << method;
      EXPECT_EQ(c.MethodCalls(), f.methodRuns ? 1 : 0) << static_cast<int>(f.fault) << " method " << method;
      if (!f.methodRuns) {
        EXPECT_TRUE(c.model.writtenImages.empty());
      }
    }
  }
}

TEST(ControllerClient, InParameterFailuresStopTheMethodsThatHaveThem) {
  Connected c;
  c.model.faults = {Fault::kNoSpawn};
  c.client.ConnectController();
  std::uint32_t version = 0;
  std::array<std::uint8_t, 4> word{};
  EXPECT_EQ(c.client.GetCurrentNvmVersion(version), kSuccess);  // takes no in-parameters
  EXPECT_EQ(c.client.ReadFirmware(0, 4, word.data()), TBFW_E_NO_PROVIDER);
  EXPECT_EQ(c.client.UpdateFirmware(std::vector<std::uint8_t>{1}), TBFW_E_NO_PROVIDER);
}

TEST(ControllerClient, WithoutAConnectionNothingRuns) {
  Connected c;
  std::uint32_t version = 0;
  EXPECT_EQ(c.client.GetCurrentNvmVersion(version), TBFW_E_NO_PROVIDER);
  EXPECT_FALSE(c.client.FindController());
  c.model.faults = {Fault::kNoNamespace};
  EXPECT_FALSE(c.client.ConnectController());
  c.model.faults = {Fault::kNoLocator};
  EXPECT_FALSE(c.client.ConnectController());
  EXPECT_EQ(c.MethodCalls(), 0);
}

TEST(ControllerClient, ProviderValuesPassThrough) {
  Connected c;
  c.model.returnValues = {{"UpdateFirmware", 5}, {"ReadFirmware", 9}};
  c.client.ConnectController();
  EXPECT_EQ(c.client.UpdateFirmware(std::vector<std::uint8_t>{1, 2}), 5u);
  EXPECT_TRUE(c.model.writtenImages.empty());
  // The bytes come back even when the provider reports a failure.
  std::array<std::uint8_t, 4> word{};
  EXPECT_EQ(c.client.ReadFirmware(0, 4, word.data()), 9u);
  EXPECT_EQ(word[0], 0x10);
}

TEST(ControllerClient, VersionWithoutReturnValueIsWrittenButFails) {
  Connected c;
  c.model.faults = {Fault::kNoReturnValue};
  c.client.ConnectController();
  std::uint32_t version = 0;
  EXPECT_EQ(c.client.GetCurrentNvmVersion(version), TBFW_E_NO_PROVIDER);
  EXPECT_EQ(version, 0x21u);
}

TEST(ControllerClient, AnImageThatCannotBeHandedOverIsNotWritten) {
  Connected c;
  c.model.faults = {Fault::kBufferNotCreated};
  c.client.ConnectController();
  EXPECT_EQ(c.client.UpdateFirmware(std::vector<std::uint8_t>{1, 2}), TBFW_E_NO_MEMORY);
  EXPECT_EQ(c.MethodCalls(), 0);
}

TEST(ControllerClient, KeepsTheObjectPathOnceFound) {
  Connected c;
  c.client.ConnectController();
  std::uint32_t version = 0;
  c.client.GetCurrentNvmVersion(version);
  c.client.GetCurrentNvmVersion(version);
  EXPECT_EQ(std::count(c.model.log.begin(), c.model.log.end(), "ExecQuery WQL select * from SdkTbtController 48"), 1);
}

}  // namespace
