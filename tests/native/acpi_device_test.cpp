#include "controller/acpi_device.h"

#include <gtest/gtest.h>

#include <vector>

#include "emulator/emulated_platform.h"

namespace {

// The request holds the method's tag, the arguments' length and the arguments; the result
// is the reply's first word, 0 when the driver gave less; the device closes when dropped.
TEST(AcpiDevice, SendsTheRequestAndTakesTheReplysFirstWord) {
  struct Case {
    std::uint32_t replyBytes;
    std::uint32_t result;
  };
  const std::vector<std::uint8_t> request = {0x44, 0x45, 0x56, 0x53, 0x08, 0, 0, 0, 0x57, 0, 0x06, 0, 0x01, 0, 0, 0};
  // The emulated driver replies with the bytes A0 A1 A2 ...
  for (Case c : {Case{0, 0}, Case{2, 0}, Case{3, 0}, Case{4, 0xA3A2A1A0}, Case{8, 0xA3A2A1A0}}) {
    ControllerModel model;
    model.acpiReplyBytes = c.replyBytes;
    EmulatedDeviceIo io(model);
    {
      AcpiDevice acpi(io);
      ASSERT_TRUE(acpi.OpenAcpiDevice());
      std::uint32_t result = 0x12345678;
      EXPECT_TRUE(acpi.CallAcpiMethod(kDevsTag, kControllerAcpiDevice, 1, result)) << c.replyBytes;
      EXPECT_EQ(result, c.result) << c.replyBytes;
    }
    EXPECT_EQ(io.requests, decltype(io.requests){request}) << c.replyBytes;
    EXPECT_TRUE(model.powered) << c.replyBytes;
    EXPECT_EQ(model.openHandles, 0) << c.replyBytes;
  }
}

TEST(AcpiDevice, NothingIsSentOrWrittenWithoutAnOpenDevice) {
  ControllerModel model;
  model.faults = {Fault::kNoAcpiDevice};
  EmulatedDeviceIo io(model);
  AcpiDevice acpi(io);
  std::uint32_t result = 7;
  EXPECT_FALSE(acpi.CallAcpiMethod(kDevsTag, kControllerAcpiDevice, 1, result));  // never opened
  EXPECT_FALSE(acpi.OpenAcpiDevice());
  EXPECT_FALSE(acpi.IsOpen());
  EXPECT_FALSE(acpi.CallAcpiMethod(kDevsTag, kControllerAcpiDevice, 1, result));  // failed open
  EXPECT_TRUE(io.requests.empty());
  EXPECT_EQ(result, 7u);
  // A failed open is not a handle to close.
  EXPECT_FALSE(acpi.CloseAcpiDevice());
  EXPECT_EQ(model.log.back(), "OpenDevice \\\\.\\HVKACPI");
  // The next attempt opens again.
  model.faults.clear();
  EXPECT_TRUE(acpi.OpenAcpiDevice());
  EXPECT_TRUE(acpi.CloseAcpiDevice());
  EXPECT_FALSE(acpi.CloseAcpiDevice());
  EXPECT_EQ(model.openHandles, 0);
}

}  // namespace
