#include "app/update_worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "controller/image_validation.h"
#include "common/sha256.h"
#include "common/utf8.h"
#include "controller/image_choice.h"
#include "emulator/emulated_platform.h"
#include "emulator/nvm_builder.h"
#include "emulator/emulated_wmi.h"
#include "tests/native/scheme_system.h"

namespace {

// Stands in for image validation: reads one word of the controller, as validation does,
// and takes the image's version from its byte 0x0A.
StatusCode ReadVersionByte(ControllerAccess& controller, std::span<const std::uint8_t> image,
                           std::uint32_t& imageVersion, ValidationDetail& /*detail*/) {
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

// The records the worker saves, kept in order, and the one it reads back.
struct SavedRecords final : UpdateRecord {
  std::vector<WrittenImage> saved;
  RecordRead read = RecordRead::kNone;
  RecordedImage stored;
  RecordRead Load(RecordedImage& recorded) override {
    if (read == RecordRead::kRead) recorded = stored;
    return read;
  }
  std::vector<AttemptedImage> attempts;
  bool SaveAttempt(const AttemptedImage& attempt) override {
    attempts.push_back(attempt);
    return true;
  }
  std::vector<std::string> activations;
  bool MarkActivation(const char* activation) override {
    activations.emplace_back(activation);
    return true;
  }
  bool Save(const WrittenImage& written) override {
    saved.push_back(written);
    return true;
  }
};

struct Bench {
  ControllerModel model;
  EmulatedComRuntime com{model};
  EmulatedDeviceIo io{model};
  EmulatedServiceManager scm{model};
  EmulatedWorkerPlatform platform{model};
  AcpiDevice acpi{io};
  ControllerClient client{com};
  ImageValidator validate = ReadVersionByte;
  SavedRecords records;
  WorkerPlatform* files = &platform;  // the platform the worker is given
  bool checkOnly = false;
  RunMode mode = RunMode::kSilent;  // when not a check
  bool force = false;
  WorkerEvents* events = nullptr;
  PowerScheme* scheme = nullptr;

  Bench() {
    model.nvmVersion = 0x20;
    model.region = std::vector<std::uint8_t>(16, 0x11);
    model.dataEntries = {{u"image.bin", ImageOfVersion(0x21)}};
  }
  StatusCode Run(bool downgradable = false) {
    acpi.OpenAcpiDevice();
    UpdateWorkerEnvironment env{com, acpi, scm, client, *files, validate};
    env.record = &records;
    env.events = events;
    env.scheme = scheme;
    RunRequest request;
    request.downgradable = downgradable;
    request.mode = checkOnly ? RunMode::kCheck : mode;
    request.force = force;
    return RunUpdateWorker(env, request);
  }
  // Whether any logged line starts with `prefix`.
  bool Logged(const std::string& prefix) const {
    return std::any_of(model.log.begin(), model.log.end(),
                       [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
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
      "QueryPowerSource",
      "ExecMethod UpdateFirmware",
      "FreeImageBlock",
      "CloseFile",
      "Sleep 10000",
      "DEVS 0",
      "CoUninitialize",
  };
  EXPECT_EQ(b.model.log, expected);
  EXPECT_EQ(b.model.writtenImages, std::vector<std::vector<std::uint8_t>>{ImageOfVersion(0x21)});
  EXPECT_FALSE(b.model.powered);
}

// One failure at each point of the run: the outcome, and that the run still ends with the
// waits, the power-off and COM's end, and writes nothing unless the provider wrote before
// it answered wrongly. A method's own failure value is the outcome as it is.
struct FaultCase {
  const char* name;
  std::set<Fault> faults;
  StatusCode status;
  std::map<std::string, Reply> replies = {};
  bool written = false;
  std::map<std::string, std::uint32_t> returnValues = {};
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
    {"no read range", {Fault::kReadRangeNotPut}, TBFW_E_NO_MEMORY},
    // Out-parameters that are absent, unset (VT_NULL) or short: no answer. An answer of
    // another type is refused by the same type check as an unset one.
    {"version null", {}, TBFW_E_NO_PROVIDER, {{"GetCurrentNvmVersion.NvmVersion", Reply::kNull}}},
    {"version missing", {}, TBFW_E_NO_PROVIDER, {{"GetCurrentNvmVersion.NvmVersion", Reply::kMissing}}},
    {"read status null", {}, TBFW_E_NO_PROVIDER, {{"ReadFirmware.ReturnValue", Reply::kNull}}},
    {"read status missing", {}, TBFW_E_NO_PROVIDER, {{"ReadFirmware.ReturnValue", Reply::kMissing}}},
    {"data short", {}, TBFW_E_NO_PROVIDER, {{"ReadFirmware.data", Reply::kShort}}},
    {"data null", {}, TBFW_E_NO_PROVIDER, {{"ReadFirmware.data", Reply::kNull}}},
    {"data missing", {}, TBFW_E_NO_PROVIDER, {{"ReadFirmware.data", Reply::kMissing}}},
    {"update status null", {}, TBFW_E_NO_PROVIDER, {{"UpdateFirmware.ReturnValue", Reply::kNull}}, true},
    {"update status missing", {}, TBFW_E_NO_PROVIDER, {{"UpdateFirmware.ReturnValue", Reply::kMissing}}, true},
    {"version call fails", {}, 5, {}, false, {{"GetCurrentNvmVersion", 5}}},
    {"read call fails", {}, 5, {}, false, {{"ReadFirmware", 5}}},
    {"update call fails", {}, 5, {}, false, {{"UpdateFirmware", 5}}},
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
    b.model.returnValues = c.returnValues;
    EXPECT_EQ(b.Run(), c.status) << c.name;
    EXPECT_EQ(b.model.writtenImages.size(), c.written ? 1u : 0u) << c.name;
    const bool asked = c.written || c.returnValues.count("UpdateFirmware") != 0;
    EXPECT_EQ(b.Logged("ExecMethod UpdateFirmware"), asked) << c.name;
    ExpectOrderlyEnd(b, c.name);
  }
}

// The system's reasons the worker passes on, as the log writes them.
struct ToldReasons final : WorkerEvents {
  std::vector<std::string> told;
  void OnSystemError(std::string_view step, SystemError error) override {
    if (error) told.push_back(std::string(step) + " " + error.call + " " + std::to_string(error.code));
  }
};

// What connecting says when the provider's service is not running.
const std::string kNoNamespaceTold = "connect ConnectServer 2147749902";  // WBEM_E_INVALID_NAMESPACE

// A step that fails in a system call is told with the call and the system's code; a step
// that succeeds, or that the tool refuses for a reason of its own, is told with none.
TEST(UpdateWorker, AFailedSystemCallIsToldWithTheSystemsReason) {
  struct Case {
    const char* name;
    std::set<Fault> faults;
    std::vector<std::string> told;
    std::vector<DataEntry> entries = {{u"image.bin", ImageOfVersion(0x21)}};
    std::map<std::string, std::uint32_t> returnValues = {};
  };
  const Case cases[] = {
      {"no failure", {}, {}},
      {"power requests refused",
       {Fault::kAcpiControlFails},
       {"power on DeviceIoControl 1", "power off DeviceIoControl 1"}},
      {"no service manager", {Fault::kNoServiceManager}, {"start service OpenSCManagerW 5", kNoNamespaceTold}},
      {"service missing", {Fault::kServiceMissing}, {"start service OpenServiceW 1060", kNoNamespaceTold}},
      {"service will not start", {Fault::kServiceWontStart}, {"start service StartServiceW 1053", kNoNamespaceTold}},
      {"no memory", {Fault::kNoMemory}, {"image GlobalAlloc 8"}},
      {"read fails", {Fault::kReadFails}, {"image ReadFile 30"}},
      {"size fails", {Fault::kSizeFails}, {"image GetFileSize 6"}},
      {"short read: the call succeeded", {Fault::kShortRead}, {}},
      {"image too large: refused by the tool",
       {},
       {},
       {{u"big.bin", std::vector<std::uint8_t>(kLargestImageSize + 1)}}},
      {"no locator", {Fault::kNoLocator}, {"connect CoCreateInstance(WbemLocator) 2147943458"}},
      {"no namespace", {Fault::kNoNamespace}, {kNoNamespaceTold}},
      {"query fails", {Fault::kQueryFails}, {"controller version ExecQuery 2147500037"}},
      {"no class", {Fault::kNoClass}, {"controller version GetObject 2147749890"}},
      {"method fails", {Fault::kExecFails}, {"controller version ExecMethod 2147500037"}},
      {"no read range", {Fault::kReadRangeNotPut}, {"validation Put(offset) 2147942414"}},
      {"no buffer size", {Fault::kBufferSizeNotPut}, {"write Put(BufferSize) 2147942414"}},
      {"no controller: no call failed", {Fault::kNoInstance}, {}},
      {"the provider's own refusal", {}, {}, {{u"image.bin", ImageOfVersion(0x21)}}, {{"UpdateFirmware", 5}}},
  };
  for (const Case& c : cases) {
    Bench b;
    b.model.faults = c.faults;
    b.model.dataEntries = c.entries;
    b.model.returnValues = c.returnValues;
    ToldReasons events;
    b.events = &events;
    b.Run();
    EXPECT_EQ(events.told, c.told) << c.name;
  }
}

// Which image is written, if any: the one *.bin that fits (or several of the same bytes),
// when it is not empty, is the pinned one on a pinned tool (refused before validation
// reads the controller), and is not older than the controller's version 0x20 unless
// downgrades are allowed. Which
// entries the search lists (regular files matching the pattern, nothing for a missing
// folder) is the platform's, tested against the system's search in system_adapter_test.cpp.
TEST(UpdateWorker, WritesOnlyTheImageTheRulesAllow) {
  struct Case {
    const char* name;
    std::vector<DataEntry> entries;
    StatusCode status;  // on success the first entry is written, else nothing
    bool validated = true;
    bool downgradable = false;
    bool pinned = false;    // to ImageOfVersion(0x21)
    std::size_t taken = 0;  // the entry written on success
  };
  std::vector<std::uint8_t> other = ImageOfVersion(0x21);
  other[40] ^= 0x01;  // the version byte stays: only the pin tells them apart
  const Case cases[] = {
      {"the same image twice: the first by name",
       {{u"b.bin", ImageOfVersion(0x22)}, {u"a.bin", ImageOfVersion(0x22)}},
       kSuccess,
       true,
       0,
       false,
       1},
      {"two that fit and differ",
       {{u"b.bin", ImageOfVersion(0x22)}, {u"a.bin", ImageOfVersion(0x23)}},
       TBFW_E_AMBIGUOUS_IMAGE},
      {"the pinned one of two that fit",
       {{u"a.bin", ImageOfVersion(0x22)}, {u"b.bin", ImageOfVersion(0x21)}},
       kSuccess,
       true,
       0,
       true,
       1},
      {"no image listed", {{u"readme.txt", {}}}, TBFW_E_NO_IMAGE, false},
      {"empty file", {{u"empty.bin", {}}}, TBFW_E_NO_IMAGE, false},
      {"same version, unattended", {{u"i.bin", ImageOfVersion(0x20)}}, TBFW_E_ALREADY_CURRENT},
      {"older", {{u"i.bin", ImageOfVersion(0x1F)}}, TBFW_E_DOWNGRADE},
      {"older, downgradable", {{u"i.bin", ImageOfVersion(0x1F)}}, kSuccess, true, true},
      {"the pinned image", {{u"i.bin", ImageOfVersion(0x21)}}, kSuccess, true, 0, true},
      {"another image on a pinned tool", {{u"i.bin", other}}, TBFW_E_NO_IMAGE, false, 0, true},
      // Listed for their short names FW~1.BIN and IMG~1.BIN, and passed over.
      {"only a .binary", {{u"fw.binary", ImageOfVersion(0x21)}}, TBFW_E_NO_IMAGE, false},
      {"the .bin after a .bin_old",
       {{u"img.bin_old", {}}, {u"I.BIN", ImageOfVersion(0x21)}},
       kSuccess,
       true,
       0,
       false,
       1},
  };
  for (const Case& c : cases) {
    Bench b;
    b.model.dataEntries = c.entries;
    if (c.pinned) b.model.pinnedImageDigest = Sha256Hex(ImageOfVersion(0x21));
    EXPECT_EQ(b.Run(c.downgradable), c.status) << c.name;
    using Images = std::vector<std::vector<std::uint8_t>>;
    EXPECT_EQ(b.model.writtenImages, c.status == kSuccess ? Images{c.entries[c.taken].bytes} : Images{}) << c.name;
    EXPECT_EQ(b.Logged("ExecMethod ReadFirmware"), c.validated) << c.name;
    ExpectOrderlyEnd(b, c.name);
  }
}

// An image is a file whose own (long) name ends in ".bin", in any case.
TEST(IsImageName, TheLongNameEndsInBin) {
  struct Case {
    std::u16string name;
    bool image;
  };
  const Case cases[] = {
      {u"fw.bin", true},     {u"FW.BIN", true},       {u"fw.Bin", true},       {u".bin", true},     {u"a.b.bin", true},
      {u"fw.binary", false}, {u"img.bin_old", false}, {u"fw.bin.txt", false},  {u"fw.bin.", false}, {u"fw.bin ", false},
      {u"fwbin", false},     {u"bin", false},         {u"fw.b\u0131n", false}, {u"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsImageName(c.name), c.image) << ToUtf8(c.name);
}

// A file larger than the largest NVM is refused before memory is taken for it or a byte
// of it read; one of exactly that size is read.
TEST(UpdateWorker, AnImageLargerThanAnyNvmIsNotRead) {
  static_assert(kLargestImageSize == 16u << 20);
  for (const std::uint32_t size : {kLargestImageSize, kLargestImageSize + 1}) {
    Bench b;
    b.model.dataEntries = {{u"big.bin", std::vector<std::uint8_t>(size, 0x5A)}};
    const bool fits = size <= kLargestImageSize;
    const StatusCode status = b.Run(1);
    EXPECT_EQ(status == TBFW_E_NO_IMAGE, !fits) << size;
    EXPECT_EQ(b.Logged("AllocateImageBlock"), fits) << size;
    EXPECT_EQ(b.model.writtenImages.size(), fits ? 1u : 0u) << size;
  }
}

TEST(UpdateWorker, NoProviderMeansTheFolderIsNotSearched) {
  Bench b;
  b.model.faults = {Fault::kNoNamespace};
  b.Run();
  EXPECT_FALSE(b.Logged("FindEntries C:\\Tools\\data\\*.bin"));
}

TEST(UpdateWorker, APathTooLongOrNoPathIsNoImage) {
  // No program path must not become a search of "data" in the current folder.
  for (const std::u16string& path : {u"C:\\" + std::u16string(1010, u'd') + u"\\TbtFwUpdate.exe", std::u16string()}) {
    Bench b;
    b.model.modulePath = path;
    EXPECT_EQ(b.Run(), TBFW_E_NO_IMAGE) << path.size();
    EXPECT_FALSE(b.Logged("FindEntries")) << path.size();
  }
}

StatusCode FullValidation(ControllerAccess& controller, std::span<const std::uint8_t> image, std::uint32_t& version,
                          ValidationDetail& detail) {
  return ValidateImage(controller, image, version, &detail);
}

// The whole run with the real validation, which reads the controller through the client,
// for each generation and variant: the image is written byte for byte, and an image for
// another controller is not written.
TEST(UpdateWorker, ValidatesAgainstTheControllerThenWrites) {
  struct Case {
    std::uint16_t controller, image;
    StatusCode status;
  };
  for (Case c : {Case{0x156B, 0x156B, kSuccess}, Case{0x156D, 0x156D, kSuccess}, Case{0x147E, 0x147E, kSuccess},
                 Case{0x1576, 0x1576, kSuccess}, Case{0x1578, 0x1578, kSuccess},
                 Case{0x156D, 0x1578, TBFW_E_GENERATION_MISMATCH}}) {
    const NvmRegionPlan plan = PlanFor(c.controller);
    const std::vector<std::uint8_t> image = BuildImage(BuildRegion(PlanFor(c.image)));
    Bench b;
    b.model.region = BuildRegion(plan);
    b.model.nvmVersion = plan.nvmVersion - 1u;
    b.model.dataEntries = {{u"firmware.bin", image}};
    b.validate = FullValidation;
    EXPECT_EQ(b.Run(), c.status) << std::hex << c.controller << " " << c.image;
    using Images = std::vector<std::vector<std::uint8_t>>;
    EXPECT_EQ(b.model.writtenImages, c.status == kSuccess ? Images{image} : Images{}) << std::hex << c.image;
    ExpectOrderlyEnd(b, "real validation");
  }
}

// The emulated files with one call that throws, as copying an out-sized reply can; every
// other call goes to the emulation.
class ThrowingPlatform final : public WorkerPlatform {
 public:
  ThrowingPlatform(WorkerPlatform& inner, std::string where) : inner_(inner), where_(std::move(where)) {}
  void Sleep(std::uint32_t ms) override {
    ++sleeps_;
    if ((where_ == "first Sleep" && sleeps_ == 1) || (where_ == "second Sleep" && sleeps_ == 2)) {
      throw std::bad_alloc();
    }
    inner_.Sleep(ms);
  }
  std::u16string ModulePath() override { return inner_.ModulePath(); }
  bool FindEntries(const std::u16string& pattern, const std::function<bool(std::u16string_view)>& visit) override {
    Throw("FindEntries");
    return inner_.FindEntries(pattern, visit);
  }
  std::unique_ptr<ImageFile> OpenImageFile(const std::u16string& path) override { return inner_.OpenImageFile(path); }
  std::unique_ptr<ImageBlock> AllocateImageBlock(std::uint32_t size) override {
    Throw("AllocateImageBlock");
    return inner_.AllocateImageBlock(size);
  }

 private:
  void Throw(const char* here) const {
    if (where_ == here) throw std::bad_alloc();
  }
  WorkerPlatform& inner_;
  std::string where_;
  int sleeps_ = 0;
};

// An exception anywhere in the procedure ends it with kWorkerException, never with the
// process: the controller is still powered off after the second wait, nothing is written
// and every handle but the ACPI device's is closed.
TEST(UpdateWorker, AnExceptionStillEndsInOrder) {
  for (const char* where : {"first Sleep", "FindEntries", "AllocateImageBlock", "validation"}) {
    Bench b;
    ThrowingPlatform throwing(b.platform, where);
    b.files = &throwing;
    if (std::string_view(where) == "validation") {
      b.validate = [](ControllerAccess&, std::span<const std::uint8_t>, std::uint32_t&,
                      ValidationDetail&) -> StatusCode { throw std::bad_alloc(); };
    }
    EXPECT_EQ(b.Run(), kWorkerException) << where;
    EXPECT_TRUE(b.model.writtenImages.empty()) << where;
    EXPECT_TRUE(b.records.saved.empty()) << where;
    EXPECT_FALSE(b.model.powered) << where;
    const auto& log = b.model.log;
    ASSERT_GE(log.size(), 3u) << where;
    EXPECT_EQ(log[log.size() - 3], "Sleep 10000") << where;
    EXPECT_EQ(log[log.size() - 2], "DEVS 0") << where;
    EXPECT_EQ(log[log.size() - 1], "CoUninitialize") << where;
    EXPECT_EQ(b.model.openHandles, 1) << where;
  }
}

// The second wait failing after a write the provider took changes nothing of the outcome,
// and the controller is still powered off and COM ended.
TEST(UpdateWorker, AnExceptionInTheSecondWaitStillPowersOff) {
  Bench b;
  ThrowingPlatform throwing(b.platform, "second Sleep");
  b.files = &throwing;
  EXPECT_EQ(b.Run(), kSuccess);
  EXPECT_EQ(b.model.writtenImages.size(), 1u);
  EXPECT_EQ(b.records.saved.size(), 1u);
  EXPECT_FALSE(b.model.powered);
  const auto& log = b.model.log;
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], "DEVS 0");
  EXPECT_EQ(log[log.size() - 1], "CoUninitialize");
}

// The record deployment systems detect an update by: saved once after a write the
// provider answered with 0, with the image's version, digest and the controller's id, and
// never for a check, a refusal or a provider's failure.
TEST(UpdateWorker, RecordsOnlyAWriteTheProviderTook) {
  struct Case {
    const char* name;
    std::uint8_t imageVersion;
    bool checkOnly;
    std::map<std::string, std::uint32_t> returnValues;
    bool recorded;
  };
  const Case cases[] = {
      {"written", 0x21, false, {}, true},
      {"check only", 0x21, true, {}, false},
      {"downgrade refused", 0x1F, false, {}, false},
      {"provider refuses the write", 0x21, false, {{"UpdateFirmware", 5}}, false},
  };
  for (const Case& c : cases) {
    Bench b;
    b.model.dataEntries = {{u"image.bin", ImageOfVersion(c.imageVersion)}};
    b.model.returnValues = c.returnValues;
    b.checkOnly = c.checkOnly;
    b.Run();
    ASSERT_EQ(b.records.saved.size(), c.recorded ? 1u : 0u) << c.name;
    if (!c.recorded) continue;
    const WrittenImage& r = b.records.saved[0];
    EXPECT_EQ(r.nvmVersion, 0x21u) << c.name;
    EXPECT_EQ(r.sha256, Sha256Hex(ImageOfVersion(0x21))) << c.name;
    EXPECT_EQ(r.controllerId, b.model.controllerId) << c.name;
  }
}

// Stands in for validation on a package of several images: byte 0 of an image says how
// it fares ('F' another board's fields, 'G' another generation, 'X' the provider fails),
// any other image fits with the version at byte 0x0A.
StatusCode VerdictByFirstByte(ControllerAccess& controller, std::span<const std::uint8_t> image,
                              std::uint32_t& imageVersion, ValidationDetail& detail) {
  switch (image[0]) {
    case 'F': return TBFW_E_FIELD_MISMATCH;
    case 'G': return TBFW_E_GENERATION_MISMATCH;
    case 'X': return TBFW_E_NO_PROVIDER;
    default: return ReadVersionByte(controller, image, imageVersion, detail);
  }
}

std::vector<std::uint8_t> ImageMarked(char mark, std::uint8_t version = 0x21) {
  std::vector<std::uint8_t> image = ImageOfVersion(version);
  image[0] = static_cast<std::uint8_t>(mark);
  return image;
}

// What the worker said of its choice.
struct ChoiceEvents final : WorkerEvents {
  std::u16string chosen;
  std::vector<std::u16string> ambiguous;
  void OnImageChosen(std::u16string_view path) override { chosen = path; }
  void OnImagesAmbiguous(std::span<const std::u16string> paths) override {
    ambiguous.assign(paths.begin(), paths.end());
  }
};

// A package for a product line: every image is checked against the controller in name
// order (ASCII case aside, whatever order the folder lists them in) and the one that fits
// is written; none fits: the first one's status; two that fit and differ: nothing.
TEST(UpdateWorker, TakesTheOneImageOfTheFolderThatFits) {
  std::vector<DataEntry> nine;
  for (char board : {'1', '2', '3'}) {
    for (const char* kind : {"plain", "graphics", "nosecurity"}) {
      const std::u16string name = std::u16string(u"board") + char16_t(board) + u"-" +
                                  std::u16string(kind, kind + std::char_traits<char>::length(kind)) + u".bin";
      nine.push_back({name, ImageMarked(board == '2' && kind[0] == 'g' ? 'a' : 'F')});
    }
  }
  struct Case {
    const char* name;
    std::vector<DataEntry> entries;
    StatusCode status;
    const char16_t* chosen;                   // the image written, on success
    std::vector<std::u16string> ambiguous{};  // the names told, for two that differ
  };
  const Case cases[] = {
      {"the fitting image sorts last",
       {{u"z.bin", ImageMarked('a')}, {u"a.bin", ImageMarked('F')}},
       kSuccess,
       u"z.bin"},
      {"the fitting image sorts first",
       {{u"z.bin", ImageMarked('F')}, {u"a.bin", ImageMarked('a')}},
       kSuccess,
       u"a.bin"},
      {"one of nine", nine, kSuccess, u"board2-graphics.bin"},
      {"none fits: the first by name decides",
       {{u"b.bin", ImageMarked('F')}, {u"a.bin", ImageMarked('G')}},
       TBFW_E_GENERATION_MISMATCH,
       nullptr},
      {"case does not order names",
       {{u"B.bin", ImageMarked('F')}, {u"a.bin", ImageMarked('G')}},
       TBFW_E_GENERATION_MISMATCH,
       nullptr},
      {"two that fit and differ",
       {{u"native.bin", ImageMarked('a', 0x22)}, {u"bios.bin", ImageMarked('b', 0x22)}},
       TBFW_E_AMBIGUOUS_IMAGE,
       nullptr,
       {u"C:\\Tools\\data\\bios.bin", u"C:\\Tools\\data\\native.bin"}},
      {"a provider failure ends the choice",
       {{u"a.bin", ImageMarked('X')}, {u"b.bin", ImageMarked('a')}},
       TBFW_E_NO_PROVIDER,
       nullptr},
      {"one that cannot be read, one that fits", {{u"a.bin", {}}, {u"b.bin", ImageMarked('a')}}, kSuccess, u"b.bin"},
      // Another program writes an image: whether it fits is unknown until it is free.
      {"one held by a writer",
       {{u"a.bin", ImageMarked('a'), true}, {u"b.bin", ImageMarked('F')}},
       TBFW_E_IMAGE_IN_USE,
       nullptr},
  };
  for (const Case& c : cases) {
    Bench b;
    b.validate = VerdictByFirstByte;
    b.model.dataEntries = c.entries;
    ChoiceEvents events;
    b.events = &events;
    EXPECT_EQ(b.Run(), c.status) << c.name;
    using Images = std::vector<std::vector<std::uint8_t>>;
    Images expected;
    for (const DataEntry& e : c.entries) {
      if (c.chosen != nullptr && e.name == c.chosen) expected.push_back(e.bytes);
    }
    EXPECT_EQ(b.model.writtenImages, expected) << c.name;
    EXPECT_EQ(events.chosen, c.chosen != nullptr ? u"C:\\Tools\\data\\" + std::u16string(c.chosen) : u"") << c.name;
    EXPECT_EQ(events.ambiguous, c.ambiguous) << c.name;
    EXPECT_EQ(b.model.openHandles, 1) << c.name;  // only the device: every image file closed
    ExpectOrderlyEnd(b, c.name);
  }
}

// A folder with more images than any package holds is refused before one is opened: the
// image that fits could be among those a partial check leaves out.
TEST(UpdateWorker, MoreImagesThanAnyPackageHoldsIsNoImage) {
  for (std::size_t count : {kMostImages, kMostImages + 1}) {
    Bench b;
    b.model.dataEntries.clear();
    for (std::size_t i = 0; i < count; ++i)
      b.model.dataEntries.push_back({u"i" + FromUtf8(std::to_string(i)) + u".bin", ImageOfVersion(0x21)});
    EXPECT_EQ(b.Run(), count <= kMostImages ? kSuccess : TBFW_E_NO_IMAGE) << count;
    EXPECT_EQ(b.Logged("OpenFile"), count <= kMostImages) << count;
  }
}

// The power source is asked again right before the write: an adapter pulled while the
// controller settled leaves nothing written and the controller powered off; a query that
// fails counts as mains power, as before the run; a check asks nothing.
TEST(UpdateWorker, NothingIsWrittenOnBatteryAfterTheSettleWait) {
  struct Case {
    const char* name;
    bool unplugged;
    PowerSource source;
    bool checkOnly;
    StatusCode status;
    bool written;
  };
  const Case cases[] = {
      {"adapter pulled while settling", true, PowerSource::kAc, false, TBFW_E_ON_BATTERY, false},
      {"on mains throughout", false, PowerSource::kAc, false, kSuccess, true},
      {"the system cannot say", false, PowerSource::kUnknown, false, kSuccess, true},
      {"a check", true, PowerSource::kAc, true, kSuccess, false},
  };
  for (const Case& c : cases) {
    Bench b;
    b.model.powerSource = c.source;
    b.model.unpluggedWhileSettling = c.unplugged;
    b.checkOnly = c.checkOnly;
    EXPECT_EQ(b.Run(), c.status) << c.name;
    EXPECT_EQ(b.model.writtenImages.size(), c.written ? 1u : 0u) << c.name;
    EXPECT_EQ(b.Logged("QueryPowerSource"), !c.checkOnly) << c.name;
    EXPECT_TRUE(b.records.saved.empty() != c.written) << c.name;
    ExpectOrderlyEnd(b, c.name);
  }
}

// The lid and the buttons do nothing for the write alone, in the window and unattended;
// a scheme left half-changed writes nothing, and the run still ends in order. A check never
// touches the scheme.
TEST(UpdateWorker, HoldsTheLidAndButtonsOffForTheWriteAlone) {
  struct Case {
    const char* name;
    int writesFailing;
    bool checkOnly;
    StatusCode status;
    std::vector<std::string> around;  // the log from the power source to the image's release
  };
  const Case cases[] = {
      {"held",
       0,
       false,
       kSuccess,
       {"QueryPowerSource", "Read", "SaveMarker", "Write held", "ExecMethod UpdateFirmware", "Write back",
        "ClearMarker", "FreeImageBlock"}},
      {"changed, then undone",
       1,
       false,
       kSuccess,
       {"QueryPowerSource", "Read", "SaveMarker", "Write held", "Write back", "ClearMarker",
        "ExecMethod UpdateFirmware", "FreeImageBlock"}},
      {"left half-changed",
       2,
       false,
       TBFW_E_POWER_SCHEME,
       {"QueryPowerSource", "Read", "SaveMarker", "Write held", "Write back", "FreeImageBlock"}},
      {"a check", 0, true, kSuccess, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bench b;
    SchemeSystem system;
    system.calls = &b.model.log;
    system.writesFailing = c.writesFailing;
    FakePowerScheme scheme(system);
    b.scheme = &scheme;
    b.checkOnly = c.checkOnly;
    EXPECT_EQ(b.Run(), c.status);
    const auto from = std::find(b.model.log.begin(), b.model.log.end(), "QueryPowerSource");
    const auto to = std::find(b.model.log.begin(), b.model.log.end(), "FreeImageBlock");
    EXPECT_EQ(std::vector<std::string>(from, from == b.model.log.end() ? from : to + 1), c.around);
    EXPECT_EQ(b.model.writtenImages.size(), c.status == kSuccess && !c.checkOnly ? 1u : 0u);
    ExpectOrderlyEnd(b, c.name);
  }
}

// The notes the worker tells the log.
struct Notes final : WorkerEvents {
  std::vector<std::string> notes;
  void OnNote(std::string_view text) override { notes.emplace_back(text); }
  bool Told(const std::string& part) const {
    return std::any_of(notes.begin(), notes.end(),
                       [&](const std::string& n) { return n.find(part) != std::string::npos; });
  }
};

// A deployment repeats a run: an unattended run writes nothing twice unless forced, the
// window writes as the user asked, and a check tells a pending write. The controller runs
// version 0x20 and reports it until the power-off.
TEST(UpdateWorker, AnUnattendedRunWritesNothingTwice) {
  const std::vector<std::uint8_t> image = ImageOfVersion(0x21);
  const RecordedImage thisBoot{0x21, Sha256Hex(image), true};
  const RecordedImage otherImage{0x21, Sha256Hex(ImageOfVersion(0x22)), true};
  const RecordedImage earlierBoot{0x21, Sha256Hex(image), false};
  struct Case {
    const char* name;
    std::uint8_t version;
    RecordRead read;
    RecordedImage stored;
    RunMode mode;
    bool force;
    StatusCode status;
    bool written;
  };
  const Case cases[] = {
      {"already current", 0x20, RecordRead::kNone, {}, RunMode::kSilent, false, TBFW_E_ALREADY_CURRENT, false},
      {"already current, forced", 0x20, RecordRead::kNone, {}, RunMode::kSilent, true, kSuccess, true},
      {"already current, by the window", 0x20, RecordRead::kNone, {}, RunMode::kWindow, false, kSuccess, true},
      {"already current, checked", 0x20, RecordRead::kNone, {}, RunMode::kCheck, false, kSuccess, false},
      {"written this boot", 0x21, RecordRead::kRead, thisBoot, RunMode::kSilent, false, TBFW_E_WRITE_PENDING, false},
      {"written this boot, forced", 0x21, RecordRead::kRead, thisBoot, RunMode::kSilent, true, kSuccess, true},
      {"written this boot, by the window", 0x21, RecordRead::kRead, thisBoot, RunMode::kWindow, false, kSuccess, true},
      {"written this boot, checked", 0x21, RecordRead::kRead, thisBoot, RunMode::kCheck, false, TBFW_E_WRITE_PENDING,
       false},
      {"another image this boot", 0x21, RecordRead::kRead, otherImage, RunMode::kSilent, false, kSuccess, true},
      {"this image in an earlier boot", 0x21, RecordRead::kRead, earlierBoot, RunMode::kSilent, false, kSuccess, true},
      {"no record", 0x21, RecordRead::kNone, {}, RunMode::kSilent, false, kSuccess, true},
      {"a record that cannot be read",
       0x21,
       RecordRead::kUnreadable,
       {},
       RunMode::kSilent,
       false,
       TBFW_E_RECORD_UNREADABLE,
       false},
      {"a record that cannot be read, forced",
       0x21,
       RecordRead::kUnreadable,
       {},
       RunMode::kSilent,
       true,
       kSuccess,
       true},
  };
  for (const Case& c : cases) {
    Bench b;
    b.model.dataEntries = {{u"image.bin", ImageOfVersion(c.version)}};
    b.records.read = c.read;
    b.records.stored = c.stored;
    b.checkOnly = c.mode == RunMode::kCheck;
    b.mode = c.mode;
    b.force = c.force;
    EXPECT_EQ(b.Run(), c.status) << c.name;
    EXPECT_EQ(b.model.writtenImages.size(), c.written ? 1u : 0u) << c.name;
    EXPECT_EQ(b.records.saved.size(), c.written ? 1u : 0u) << c.name;
    ExpectOrderlyEnd(b, c.name);
  }
}

// Every run that reached the controller and could have written leaves its attempt on
// record: what became of it, with the image it chose. A check, or a run that never reached
// the controller, leaves none.
TEST(UpdateWorker, EveryAttemptIsRecorded) {
  const std::vector<std::uint8_t> newer = ImageOfVersion(0x21);
  struct Case {
    const char* name;
    std::vector<std::uint8_t> image;
    bool checkOnly;
    std::set<Fault> faults;
    std::map<std::string, std::uint32_t> returnValues;
    bool recorded;
    StatusCode status;
    const char* outcome;
    bool withImage;
  };
  const Case cases[] = {
      {"written", newer, false, {}, {}, true, kSuccess, "written", true},
      {"older: refused", ImageOfVersion(0x1F), false, {}, {}, true, TBFW_E_DOWNGRADE, "refused", true},
      {"another board's: refused", ImageMarked('F'), false, {}, {}, true, TBFW_E_FIELD_MISMATCH, "refused", false},
      {"the provider fails the write", newer, false, {}, {{"UpdateFirmware", 5}}, true, 5, "failed", true},
      {"already current", ImageOfVersion(0x20), false, {}, {}, true, TBFW_E_ALREADY_CURRENT, "already current", true},
      {"a check", newer, true, {}, {}, false, kSuccess, "", false},
      {"the provider never reached", newer, false, {Fault::kServiceMissing}, {}, false, TBFW_E_NO_PROVIDER, "", false},
  };
  for (const Case& c : cases) {
    Bench b;
    b.validate = VerdictByFirstByte;
    b.model.dataEntries = {{u"image.bin", c.image}};
    b.model.faults = c.faults;
    b.model.returnValues = c.returnValues;
    b.checkOnly = c.checkOnly;
    EXPECT_EQ(b.Run(), c.status) << c.name;
    ASSERT_EQ(b.records.attempts.size(), c.recorded ? 1u : 0u) << c.name;
    if (!c.recorded) continue;
    const AttemptedImage& a = b.records.attempts[0];
    EXPECT_EQ(a.status, c.status) << c.name;
    EXPECT_EQ(std::string(a.outcome), c.outcome) << c.name;
    EXPECT_EQ(a.sha256, c.withImage ? Sha256Hex(c.image) : "") << c.name;
    EXPECT_EQ(a.nvmVersion, c.withImage ? c.image[0x0A] : 0u) << c.name;
  }
}

// A run that reaches the controller (the controller at 0x20) tells what became of the
// recorded write: active once the controller runs its version, not activated when it was
// made in an earlier boot and the controller still runs another.
TEST(UpdateWorker, TellsWhetherTheRecordedWriteIsActive) {
  const RecordedImage running{0x20, Sha256Hex(ImageOfVersion(0x20)), false};
  const RecordedImage stale{0x1F, Sha256Hex(ImageOfVersion(0x1F)), false};
  const RecordedImage pending{0x21, Sha256Hex(ImageOfVersion(0x22)), true};
  struct Case {
    const char* name;
    const RecordedImage* stored;
    std::vector<std::string> marked;
    bool told;  // the log says it is not activated
  };
  const Case cases[] = {
      {"the controller runs it", &running, {"active"}, false},
      {"still another version after a restart", &stale, {"not activated"}, true},
      {"written in this boot: pending", &pending, {}, false},
  };
  for (const Case& c : cases) {
    Bench b;
    b.records.read = RecordRead::kRead;
    b.records.stored = *c.stored;
    b.checkOnly = true;
    Notes notes;
    b.events = &notes;
    EXPECT_EQ(b.Run(), kSuccess) << c.name;
    EXPECT_EQ(b.records.activations, c.marked) << c.name;
    EXPECT_EQ(notes.Told("is not activated"), c.told) << c.name;
  }
}

}  // namespace
