#include "app/update_worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "controller/image_validation.h"
#include "common/sha256.h"
#include "emulator/emulated_platform.h"
#include "emulator/nvm_builder.h"
#include "emulator/region_controller.h"
#include "emulator/emulated_wmi.h"

namespace {

// Stands in for image validation: reads one word of the controller, as validation does,
// and takes the image's version from its byte 0x0A.
StatusCode ReadVersionByte(ControllerAccess& controller, std::span<const std::uint8_t> image,
                           std::uint32_t& imageVersion) {
  std::uint8_t word[4] = {};
  if (StatusCode s = controller.ReadFirmware(0, 4, word); s != kSuccess) return s;
  if (image.size() <= 0x0A) return TBFW_E_NO_IMAGE;
  imageVersion = image[0x0A];
  return kSuccess;
}

std::vector<std::uint8_t> ImageOfVersion(std::uint8_t version) {
  std::vector<std::uint8_t> image(64, 0x5A);
  image[0x0A] = version;
  return image;
}

struct Bench {
  ControllerModel model;
  EmulatedComRuntime com{model};
  EmulatedDeviceIo io{model};
  EmulatedServiceManager scm{model};
  EmulatedWorkerPlatform platform{model};
  AcpiDevice acpi{io};
  ControllerClient client{com};
  ImageValidator validate = ReadVersionByte;

  Bench() {
    model.nvmVersion = 0x20;
    model.region = std::vector<std::uint8_t>(16, 0x11);
    model.dataEntries = {{u"image.bin", ImageOfVersion(0x21)}};
  }
  StatusCode Run(std::int32_t downgradable = 0) {
    acpi.OpenAcpiDevice();
    UpdateWorkerEnvironment env{com, acpi, scm, client, platform, validate};
    return RunUpdateWorker(env, downgradable);
  }
  // Whether any logged line starts with `prefix`.
  bool Logged(const std::string& prefix) const {
    return std::any_of(model.log.begin(), model.log.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
  }
};

TEST(UpdateWorker, RunsTheProcedureInOrder) {
  Bench b;
  EXPECT_EQ(b.Run(), kSuccess);
  const std::vector<std::string> expected = {
      "OpenDevice \\\\.\\HVKACPI",
      "CoInitialize",
      "DEVS 1",
      "StartService",
      "Sleep 10000",
      "ConnectServer ROOT\\Intel\\Thunderbolt",
      "ExecQuery WQL select * from SdkTbtController 48",
      "ExecMethod GetCurrentNvmVersion",
      "FindEntries C:\\Tools\\data\\*.bin",
      "OpenFile C:\\Tools\\data\\image.bin",
      "AllocateImageBlock 64",
      "ExecMethod ReadFirmware 0x0 4",
      "ExecMethod UpdateFirmware",
      "FreeImageBlock",
      "CloseFile",
      "Sleep 10000",
      "DEVS 0",
      "CoUninitialize",
  };
  EXPECT_EQ(b.model.log, expected);
  ASSERT_EQ(b.model.writtenImages.size(), 1u);
  EXPECT_EQ(b.model.writtenImages[0], ImageOfVersion(0x21));
  EXPECT_FALSE(b.model.powered);
}

// One failure at each point of the run: the outcome, and that the run still ends with the
// waits, the power-off and COM's end, and writes nothing unless the provider wrote before
// it answered wrongly.
struct FaultCase {
  const char* name;
  std::set<Fault> faults;
  StatusCode status;
  std::map<std::string, Reply> replies = {};
  bool written = false;
};

const FaultCase kFaultCases[] = {
    {"no locator", {Fault::kNoLocator}, TBFW_E_NO_PROVIDER},
    {"no namespace", {Fault::kNoNamespace}, TBFW_E_NO_PROVIDER},
    {"service missing", {Fault::kServiceMissing}, TBFW_E_NO_PROVIDER},
    {"no service manager", {Fault::kNoServiceManager}, TBFW_E_NO_PROVIDER},
    {"service will not start", {Fault::kServiceWontStart}, TBFW_E_NO_PROVIDER},
    {"power request fails", {Fault::kAcpiControlFails}, TBFW_E_NO_CONTROLLER},
    {"no controller", {Fault::kNoInstance}, TBFW_E_NO_CONTROLLER},
    {"id not a string", {Fault::kIdNotString}, TBFW_E_NO_CONTROLLER},
    {"id too long", {Fault::kIdTooLong}, TBFW_E_NO_CONTROLLER},
    {"no class", {Fault::kNoClass}, TBFW_E_NO_PROVIDER},
    {"no method", {Fault::kNoMethod}, TBFW_E_NO_PROVIDER},
    {"method fails", {Fault::kExecFails}, TBFW_E_NO_PROVIDER},
    {"no out-parameters", {Fault::kNoOutParams}, TBFW_E_NO_PROVIDER},
    {"no return value", {Fault::kNoReturnValue}, TBFW_E_NO_PROVIDER},
    {"no version", {Fault::kNoNvmVersion}, TBFW_E_NO_PROVIDER},
    {"no spawn", {Fault::kNoSpawn}, TBFW_E_NO_PROVIDER},
    {"no memory", {Fault::kNoMemory}, TBFW_E_NO_MEMORY},
    {"short read", {Fault::kShortRead}, TBFW_E_NO_IMAGE},
    {"read fails", {Fault::kReadFails}, TBFW_E_NO_IMAGE},
    {"size fails", {Fault::kSizeFails}, TBFW_E_NO_IMAGE},
    {"no buffer", {Fault::kBufferNotCreated}, TBFW_E_NO_MEMORY},
    {"no buffer size", {Fault::kBufferSizeNotPut}, TBFW_E_NO_MEMORY},
    // Out-parameters that are unset (VT_NULL), absent, of another type or short: no answer.
    {"version null", {}, TBFW_E_NO_PROVIDER, {{"GetCurrentNvmVersion.NvmVersion", Reply::kNull}}},
    {"version missing", {}, TBFW_E_NO_PROVIDER, {{"GetCurrentNvmVersion.NvmVersion", Reply::kMissing}}},
    {"version text", {}, TBFW_E_NO_PROVIDER, {{"GetCurrentNvmVersion.NvmVersion", Reply::kText}}},
    {"read status null", {}, TBFW_E_NO_PROVIDER, {{"ReadFirmware.ReturnValue", Reply::kNull}}},
    {"read status missing", {}, TBFW_E_NO_PROVIDER, {{"ReadFirmware.ReturnValue", Reply::kMissing}}},
    {"read status text", {}, TBFW_E_NO_PROVIDER, {{"ReadFirmware.ReturnValue", Reply::kText}}},
    {"data short", {}, TBFW_E_NO_PROVIDER, {{"ReadFirmware.data", Reply::kShort}}},
    {"data empty", {}, TBFW_E_NO_PROVIDER, {{"ReadFirmware.data", Reply::kEmpty}}},
    {"data null", {}, TBFW_E_NO_PROVIDER, {{"ReadFirmware.data", Reply::kNull}}},
    {"data missing", {}, TBFW_E_NO_PROVIDER, {{"ReadFirmware.data", Reply::kMissing}}},
    {"update status null", {}, TBFW_E_NO_PROVIDER, {{"UpdateFirmware.ReturnValue", Reply::kNull}}, true},
    {"update status missing", {}, TBFW_E_NO_PROVIDER, {{"UpdateFirmware.ReturnValue", Reply::kMissing}}, true},
    {"update status text", {}, TBFW_E_NO_PROVIDER, {{"UpdateFirmware.ReturnValue", Reply::kText}}, true},
};

void ExpectOrderlyEnd(const Bench& b, const char* name) {
  const auto& log = b.model.log;
  ASSERT_GE(log.size(), 3u) << name;
  EXPECT_EQ(log[log.size() - 1], "CoUninitialize") << name;
  EXPECT_EQ(std::count(log.begin(), log.end(), "Sleep 10000"), 2) << name;
  if (!b.model.Has(Fault::kAcpiControlFails)) {
    EXPECT_EQ(log[log.size() - 2], "DEVS 0") << name;
    EXPECT_EQ(b.model.devsRequests, (std::vector<std::uint32_t>{1, 0})) << name;
  }
  // Only the ACPI device stays open: the window closes it.
  EXPECT_EQ(b.model.openHandles, 1) << name;
}

TEST(UpdateWorker, EveryFailureEndsTheRunInOrder) {
  for (const FaultCase& c : kFaultCases) {
    Bench b;
    b.model.faults = c.faults;
    b.model.replies = c.replies;
    EXPECT_EQ(b.Run(), c.status) << c.name;
    EXPECT_EQ(b.model.writtenImages.size(), c.written ? 1u : 0u) << c.name;
    EXPECT_EQ(b.Logged("ExecMethod UpdateFirmware"), c.written) << c.name;
    ExpectOrderlyEnd(b, c.name);
  }
}

TEST(UpdateWorker, ProviderReturnValuesPassThrough) {
  for (const char* method : {"GetCurrentNvmVersion", "ReadFirmware", "UpdateFirmware"}) {
    Bench b;
    b.model.returnValues[method] = 5;
    EXPECT_EQ(b.Run(), 5u) << method;
    EXPECT_TRUE(b.model.writtenImages.empty()) << method;
    ExpectOrderlyEnd(b, method);
  }
}

TEST(UpdateWorker, AppliesTheDowngradeRule) {
  struct Case {
    std::uint8_t imageVersion;
    std::int32_t downgradable;
    StatusCode status;
  };
  // The controller runs version 0x20.
  for (Case c : {Case{0x21, 0, kSuccess}, Case{0x20, 0, kSuccess}, Case{0x1F, 0, TBFW_E_DOWNGRADE},
                 Case{0x1F, 1, kSuccess}, Case{0x00, 7, kSuccess}}) {
    Bench b;
    b.model.dataEntries = {{u"image.bin", ImageOfVersion(c.imageVersion)}};
    EXPECT_EQ(b.Run(c.downgradable), c.status) << int{c.imageVersion};
    EXPECT_EQ(b.model.writtenImages.size(), c.status == kSuccess ? 1u : 0u) << int{c.imageVersion};
  }
}

TEST(UpdateWorker, TakesTheFirstImageTheFolderLists) {
  struct Case {
    const char* name;
    std::vector<DataEntry> entries;
    bool folder;
    StatusCode status;
    std::uint8_t writtenVersion;
  };
  const Case cases[] = {
      {"first of several", {{u"b.bin", ImageOfVersion(0x22)}, {u"a.bin", ImageOfVersion(0x23)}}, true, kSuccess, 0x22},
      {"other files ignored", {{u"notes.txt", {}}, {u"x.bin", ImageOfVersion(0x24)}}, true, kSuccess, 0x24},
      {"directory listed first", {{u"dir.bin", {}, true}, {u"a.bin", ImageOfVersion(0x22)}}, true, kSuccess, 0x22},
      {"no image", {{u"readme.txt", {}}}, true, TBFW_E_NO_IMAGE, 0},
      {"no folder", {}, false, TBFW_E_NO_IMAGE, 0},
      {"empty file", {{u"empty.bin", {}}}, true, TBFW_E_NO_IMAGE, 0},
  };
  for (const Case& c : cases) {
    Bench b;
    b.model.dataEntries = c.entries;
    b.model.dataFolderExists = c.folder;
    EXPECT_EQ(b.Run(), c.status) << c.name;
    if (c.status == kSuccess) {
      ASSERT_EQ(b.model.writtenImages.size(), 1u) << c.name;
      EXPECT_EQ(b.model.writtenImages[0][0x0A], c.writtenVersion) << c.name;
    } else {
      EXPECT_TRUE(b.model.writtenImages.empty()) << c.name;
      ExpectOrderlyEnd(b, c.name);
    }
  }
}

TEST(UpdateWorker, APinnedToolWritesOnlyItsImage) {
  const std::vector<std::uint8_t> pinned = ImageOfVersion(0x21);
  std::vector<std::uint8_t> flipped = pinned;
  flipped[40] ^= 0x01;  // the version byte stays: only the pin tells them apart
  for (const auto& [bytes, status] : {std::pair{pinned, kSuccess}, std::pair{flipped, TBFW_E_NO_IMAGE}}) {
    Bench b;
    b.model.pinnedImageDigest = Sha256Hex(pinned);
    b.model.dataEntries = {{u"image.bin", bytes}};
    EXPECT_EQ(b.Run(), status);
    EXPECT_EQ(b.model.writtenImages.size(), status == kSuccess ? 1u : 0u);
    // Refused before validation reads the controller.
    EXPECT_EQ(b.Logged("ExecMethod ReadFirmware 0x0 4"), status == kSuccess);
  }
}

TEST(UpdateWorker, NoProviderMeansTheFolderIsNotSearched) {
  Bench b;
  b.model.faults = {Fault::kNoNamespace};
  b.Run();
  EXPECT_FALSE(b.Logged("FindEntries C:\\Tools\\data\\*.bin"));
}

TEST(UpdateWorker, AValidationFailureWritesNothing) {
  Bench b;
  b.validate = [](ControllerAccess&, std::span<const std::uint8_t>, std::uint32_t&) { return TBFW_E_FIELD_MISMATCH; };
  EXPECT_EQ(b.Run(), TBFW_E_FIELD_MISMATCH);
  EXPECT_TRUE(b.model.writtenImages.empty());
  ExpectOrderlyEnd(b, "validation");
}

TEST(UpdateWorker, APathTooLongOrNoPathIsNoImage) {
  // No program path must not become a search of "data" in the current folder.
  for (const std::u16string& path : {u"C:\\" + std::u16string(1010, u'd') + u"\\TbtFwUpdate.exe", std::u16string()}) {
    Bench b;
    b.model.modulePath = path;
    EXPECT_EQ(b.Run(), TBFW_E_NO_IMAGE) << path.size();
    EXPECT_TRUE(std::none_of(b.model.log.begin(), b.model.log.end(),
                             [](const std::string& l) { return l.rfind("FindEntries", 0) == 0; }))
        << path.size();
  }
}

StatusCode FullValidation(ControllerAccess& controller, std::span<const std::uint8_t> image, std::uint32_t& version) {
  return ValidateImage(controller, image, version);
}

// The whole run with the real validation, for each generation and variant: the image is
// written byte for byte, and the controller is read only as validation needs it.
TEST(UpdateWorker, ValidatesAgainstTheControllerThenWrites) {
  for (int id : {0x156B, 0x156D, 0x147E, 0x1576, 0x1578}) {
    const auto deviceId = static_cast<std::uint16_t>(id);
    const NvmRegionPlan plan = PlanFor(deviceId);
    const std::vector<std::uint8_t> region = BuildRegion(plan);
    const std::vector<std::uint8_t> image = BuildImage(region);
    Bench b;
    b.model.region = region;
    b.model.nvmVersion = plan.nvmVersion;
    b.model.dataEntries = {{u"firmware.bin", image}};
    b.validate = FullValidation;
    EXPECT_EQ(b.Run(), kSuccess) << std::hex << deviceId;
    ASSERT_EQ(b.model.writtenImages.size(), 1u) << std::hex << deviceId;
    EXPECT_EQ(b.model.writtenImages[0], image) << std::hex << deviceId;

    // The same validation against the bare region: the reads through WMI are the same ones.
    RegionController bare(region, plan.nvmVersion);
    std::uint32_t version = 0;
    ASSERT_EQ(ValidateImage(bare, image, version), kSuccess);
    std::vector<std::string> expected;
    for (const RegionController::Read& r : bare.Reads()) {
      char line[48];
      std::snprintf(line, sizeof line, "ExecMethod ReadFirmware 0x%X %u", static_cast<unsigned>(r.offset),
                    static_cast<unsigned>(r.length));
      expected.push_back(line);
    }
    std::vector<std::string> reads;
    std::copy_if(b.model.log.begin(), b.model.log.end(), std::back_inserter(reads),
                 [](const std::string& l) { return l.rfind("ExecMethod ReadFirmware", 0) == 0; });
    EXPECT_EQ(reads, expected) << std::hex << deviceId;
  }
}

TEST(UpdateWorker, AnImageForAnotherControllerIsNotWritten) {
  const std::vector<std::uint8_t> region = BuildRegion(PlanFor(0x156D));
  Bench b;
  b.model.region = region;
  b.model.dataEntries = {{u"firmware.bin", BuildImage(BuildRegion(PlanFor(0x1578)))}};
  b.validate = FullValidation;
  EXPECT_EQ(b.Run(), TBFW_E_GENERATION_MISMATCH);
  EXPECT_TRUE(b.model.writtenImages.empty());
  ExpectOrderlyEnd(b, "generation");
}

}  // namespace
