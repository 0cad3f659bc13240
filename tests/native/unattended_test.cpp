#include "app/unattended_run.h"

#include <gtest/gtest.h>

#include <new>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "common/sha256.h"
#include "controller/image_validation.h"
#include "emulator/emulated_platform.h"
#include "emulator/emulated_wmi.h"
#include "emulator/nvm_builder.h"
#include "tests/native/memory_log.h"

namespace {

TEST(ParseCommandLine, UnattendedSwitches) {
  struct Row {
    const char* name;
    std::vector<std::u16string> args;
    bool wellFormed;
    RunMode mode;
    bool shutdown;
    std::u16string logPath;
    bool force = false;
  };
  const Row rows[] = {
      {"none", {}, true, RunMode::kWindow, false, u""},
      {"silent any case", {u"/SiLeNt"}, true, RunMode::kSilent, false, u""},
      {"check wins over silent", {u"/silent", u"/check"}, true, RunMode::kCheck, false, u""},
      {"help wins", {u"/check", u"/?"}, true, RunMode::kHelp, false, u""},
      {"shutdown with silent", {u"/shutdown", u"/silent"}, true, RunMode::kSilent, true, u""},
      {"shutdown alone does nothing", {u"/shutdown"}, true, RunMode::kWindow, false, u""},
      {"shutdown never with check", {u"/check", u"/shutdown"}, true, RunMode::kCheck, false, u""},
      {"log path kept as given",
       {u"/LOG:C:\\logs\\tbt fw.log"},
       true,
       RunMode::kWindow,
       false,
       u"C:\\logs\\tbt fw.log"},
      {"log without a path", {u"/silent", u"/log:"}, false, RunMode::kSilent, false, u""},
      {"prefixes are unknown switches", {u"/silently", u"/checks", u"/log"}, true, RunMode::kWindow, false, u""},
      {"force with silent", {u"/FORCE", u"/silent"}, true, RunMode::kSilent, false, u"", true},
      {"force alone does nothing", {u"/force"}, true, RunMode::kWindow, false, u""},
      {"force never with check", {u"/check", u"/force"}, true, RunMode::kCheck, false, u""},
  };
  for (const Row& r : rows) {
    std::vector<const char16_t*> argv{u"TbtFwUpdate.exe"};
    for (const auto& a : r.args) argv.push_back(a.c_str());
    RunRequest o;
    EXPECT_EQ(ParseCommandLine(static_cast<int>(argv.size()), argv.data(), o), r.wellFormed) << r.name;
    EXPECT_EQ(o.mode, r.mode) << r.name;
    EXPECT_EQ(o.shutdown, r.shutdown) << r.name;
    EXPECT_EQ(o.logPath, r.logPath) << r.name;
    EXPECT_EQ(o.force, r.force) << r.name;
  }
}

TEST(ExitCodeFor, EveryOutcomeHasItsCode) {
  struct Row {
    RunMode mode;
    RunEnd end;
    StatusCode status;
    bool haveVersions;
    int code;
  };
  // The outcomes the unattended runs below do not reach (they reach 3010, 1641, 3020, 1603
  // and 1633 for a controller that does not answer); the mode matters only to /check, which
  // cannot say what an update would do without both versions.
  const Row rows[] = {
      {RunMode::kSilent, RunEnd::kAnotherCopy, kSuccess, true, 1618},
      {RunMode::kWindow, RunEnd::kFinished, TBFW_E_UNSUPPORTED_CONTROLLER, true, 1633},
      {RunMode::kWindow, RunEnd::kNotRun, kSuccess, true, 1602},
      {RunMode::kSilent, RunEnd::kBadSwitch, kSuccess, true, 1639},
      {RunMode::kCheck, RunEnd::kFinished, kSuccess, false, 1603},
      // The window's own ends: written, a power-off needed; a refused downgrade.
      {RunMode::kWindow, RunEnd::kFinished, kSuccess, true, 3010},
      {RunMode::kWindow, RunEnd::kFinished, TBFW_E_DOWNGRADE, true, 0},
      // An image another program holds: retry; a scheme left half-changed: a failure.
      {RunMode::kSilent, RunEnd::kFinished, TBFW_E_IMAGE_IN_USE, true, 1618},
      {RunMode::kSilent, RunEnd::kFinished, TBFW_E_POWER_SCHEME, true, 1603},
      // Refused at the start: a package others can change, a ".local" beside the program.
      {RunMode::kSilent, RunEnd::kFinished, TBFW_E_PACKAGE_UNTRUSTED, false, 1620},
      {RunMode::kWindow, RunEnd::kFinished, TBFW_E_PACKAGE_UNTRUSTED, false, 1620},
      {RunMode::kCheck, RunEnd::kFinished, TBFW_E_DLL_REDIRECTION, false, 1603},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ExitCodeFor({r.mode, r.end, r.status, r.haveVersions, 0, 0, false}), r.code)
        << static_cast<int>(r.mode) << " " << static_cast<int>(r.end) << " 0x" << std::hex << r.status;
  }
}

struct Preconditions final : UpdatePreconditions {
  bool device = true;
  PowerSource power = PowerSource::kAc;
  bool EnsureAcpiDevice() override { return device; }
  PowerSource QueryPowerSource() override { return power; }
};

struct Session final : SessionControl {
  int powerOffs = 0;
  std::uint32_t refusal = 0;  // the system's answer to a power-off
  std::uint32_t RequestPowerOff() override {
    ++powerOffs;
    return refusal;
  }
  void PostClose() override {}
};

// Marks in the controller's request log where the run held and let go of the session, so
// the hold is seen against the worker's steps.
struct MarkingHold final : BusyHold {
  ControllerModel& model;
  std::u16string reason;
  bool throws = false;  // Begin runs out of memory, before the worker ran
  explicit MarkingHold(ControllerModel& m) : model(m) {}
  bool Begin(const char16_t* r) override {
    if (throws) throw std::bad_alloc();
    reason = r;
    model.log.emplace_back("hold");
    return true;
  }
  void End() override { model.log.emplace_back("release"); }
};

// The unattended run over the emulated controller with the real validation.
struct Bench {
  ControllerModel model;
  EmulatedComRuntime com{model};
  EmulatedDeviceIo io{model};
  EmulatedServiceManager scm{model};
  EmulatedWorkerPlatform files{model};
  AcpiDevice acpi{io};
  ControllerClient client{com};
  Preconditions preconditions;
  Session session;
  MarkingHold hold{model};
  MemoryLog file;
  UpdateRecord* record = nullptr;
  std::vector<std::uint8_t> image;

  explicit Bench(std::uint32_t imageVersion) {
    NvmRegionPlan plan = PlanFor(0x156D);
    plan.nvmVersion = static_cast<std::uint8_t>(imageVersion);
    image = BuildImage(BuildRegion(plan));
    plan.nvmVersion = 0x20;
    model.region = BuildRegion(plan);
    model.nvmVersion = 0x20;
    model.dataEntries = {{u"firmware.bin", image}};
  }
  int Run(std::vector<std::u16string> args) {
    std::vector<const char16_t*> argv{u"TbtFwUpdate.exe"};
    for (const auto& a : args) argv.push_back(a.c_str());
    RunRequest options;
    ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options);
    acpi.OpenAcpiDevice();
    UpdateWorkerEnvironment worker{com,
                                   acpi,
                                   scm,
                                   client,
                                   files,
                                   [](ControllerAccess& c, std::span<const std::uint8_t> i, std::uint32_t& v,
                                      ValidationDetail& d) { return ValidateImage(c, i, v, &d); }};
    worker.record = record;
    UnattendedEnvironment env{preconditions, worker, session, hold,
                              [](const char16_t* key, char16_t* buffer, std::size_t capacity) {
                                const std::u16string text = std::u16string(u"text of ") + key;
                                text.copy(buffer, capacity - 1);
                                buffer[std::min(text.size(), capacity - 1)] = u'\0';
                              }};
    RunLog log(&file);
    return ExitCodeFor(RunUnattended(options, env, log));
  }
  bool PoweredOffLast() const { return !model.devsRequests.empty() && model.devsRequests.back() == 0; }
};

// The notebook is powered off only after a write, and only with /shutdown.
TEST(RunUnattended, VersionsDecideWhatSilentAndCheckDo) {
  struct Row {
    std::uint32_t imageVersion;
    std::vector<std::u16string> args;
    int code;
    bool written;
    std::uint32_t refusal = 0;  // the system refuses the power-off with this error
  };
  const Row rows[] = {
      {0x21, {u"/silent"}, 3010, true},
      {0x20, {u"/silent"}, 0, false},
      {0x20, {u"/silent", u"/force"}, 3010, true},
      {0x1F, {u"/silent"}, 0, false},
      {0x21, {u"/check"}, 0, false},
      {0x20, {u"/check"}, 1, false},
      {0x1F, {u"/check"}, 2, false},
      {0x21, {u"/silent", u"/shutdown"}, 1641, true},
      {0x1F, {u"/silent", u"/shutdown"}, 0, false},
      {0x21, {u"/silent", u"/shutdown"}, 3010, true, 0x78},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& r = rows[i];
    Bench b(r.imageVersion);
    b.session.refusal = r.refusal;
    EXPECT_EQ(b.Run(r.args), r.code) << "row " << i;
    using Images = std::vector<std::vector<std::uint8_t>>;
    EXPECT_EQ(b.model.writtenImages, r.written ? Images{b.image} : Images{}) << "row " << i;
    EXPECT_TRUE(b.PoweredOffLast()) << "row " << i;
    EXPECT_EQ(b.session.powerOffs, r.code == 1641 || r.refusal != 0 ? 1 : 0) << "row " << i;
    if (r.refusal != 0) {
      EXPECT_NE(b.file.text.find("could not be powered off: system error 0x00000078"), std::string::npos);
    }
  }
}

// A write the provider took is a success whatever befalls the record or the log after it:
// 3010, never 1603, on which a deployment would write the controller again.
TEST(RunUnattended, AWriteTheProviderTookIsNeverReportedAsAFailure) {
  struct ThrowingRecord final : UpdateRecord {
    bool Save(const WrittenImage&) override { throw std::bad_alloc(); }
  };
  struct RefusingRecord final : UpdateRecord {
    bool Save(const WrittenImage&) override { return false; }
  };
  struct Row {
    const char* name;
    UpdateRecord* record;
    std::string throwAfter;  // the log's line after which its appends throw
    bool told;               // the log says detection will not see the write
  };
  ThrowingRecord throwing;
  RefusingRecord refusing;
  const Row rows[] = {
      {"the record store throws", &throwing, "", true},
      {"the record store refuses", &refusing, "", true},
      {"the log throws at the write's line", nullptr, "image NVM version", false},
      {"the log throws after the write", nullptr, "write: ", false},
      {"the log throws after the power-off", nullptr, "power off: ", false},
  };
  for (const Row& r : rows) {
    Bench b(0x21);
    b.record = r.record;
    b.file.throwAfter = r.throwAfter;
    EXPECT_EQ(b.Run({u"/silent"}), 3010) << r.name;
    EXPECT_EQ(b.model.writtenImages.size(), 1u) << r.name;
    EXPECT_TRUE(b.PoweredOffLast()) << r.name;
    EXPECT_EQ(b.file.text.find("detection will not see") != std::string::npos, r.told) << r.name;
  }
}

// An exception before the worker ran ends the run as a failure: never as the success the
// outcome held before anything was done, and with nothing powered or written.
TEST(RunUnattended, AnExceptionBeforeTheWorkerIsAFailure) {
  for (const char* mode : {"/silent", "/check"}) {
    Bench b(0x21);
    b.hold.throws = true;
    EXPECT_EQ(b.Run({std::u16string(mode, mode + std::char_traits<char>::length(mode))}), 1603) << mode;
    EXPECT_TRUE(b.model.writtenImages.empty()) << mode;
    EXPECT_TRUE(b.model.devsRequests.empty()) << mode;
  }
}

// What a repeated deployment run exits with, the controller at 0x20 and the image 0x21:
// this image recorded as written in this boot, or a record that cannot be read.
TEST(RunUnattended, ARepeatedRunExitsAsTheFirstDidWithoutWriting) {
  struct Record final : UpdateRecord {
    RecordRead read = RecordRead::kRead;
    RecordedImage stored;
    bool Save(const WrittenImage&) override { return true; }
    RecordRead Load(RecordedImage& recorded) override {
      recorded = stored;
      return read;
    }
  };
  struct Row {
    std::vector<std::u16string> args;
    RecordRead read;
    int code;
    bool written;
  };
  const Row rows[] = {
      {{u"/silent"}, RecordRead::kRead, 3010, false},
      {{u"/silent", u"/shutdown"}, RecordRead::kRead, 1641, false},
      {{u"/silent", u"/force"}, RecordRead::kRead, 3010, true},
      {{u"/check"}, RecordRead::kRead, 3, false},
      {{u"/silent"}, RecordRead::kUnreadable, 1603, false},
      {{u"/check"}, RecordRead::kUnreadable, 1603, false},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& r = rows[i];
    Bench b(0x21);
    Record record;
    record.read = r.read;
    record.stored = {0x21, Sha256Hex(b.image), true};
    b.record = &record;
    EXPECT_EQ(b.Run(r.args), r.code) << "row " << i;
    EXPECT_EQ(b.model.writtenImages.size(), r.written ? 1u : 0u) << "row " << i;
    EXPECT_TRUE(b.PoweredOffLast()) << "row " << i;
  }
}

// The session is held from before the controller is powered until after it is powered
// off, in both modes, with the busy text of the run's language.
TEST(RunUnattended, HoldsTheSessionAroundTheWholeProcedure) {
  for (const char16_t* mode : {u"/silent", u"/check"}) {
    Bench b(0x21);
    b.Run({mode});
    const auto& log = b.model.log;
    const auto hold = std::find(log.begin(), log.end(), "hold");
    const auto powerOn = std::find(log.begin(), log.end(), "DEVS 1");
    const auto powerOff = std::find(log.begin(), log.end(), "DEVS 0");
    const auto release = std::find(log.begin(), log.end(), "release");
    ASSERT_NE(release, log.end());
    EXPECT_LT(hold, powerOn);
    EXPECT_LT(powerOff, release);
    EXPECT_EQ(std::count(log.begin(), log.end(), "hold"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "release"), 1);
    EXPECT_EQ(b.hold.reason, u"text of IDS_BUSY");
  }
}

TEST(RunUnattended, NothingStartsWithoutTheDeviceOrOnBattery) {
  Bench missing(0x21);
  missing.preconditions.device = false;
  EXPECT_EQ(missing.Run({u"/silent"}), 1633);
  Bench battery(0x21);
  battery.preconditions.power = PowerSource::kBattery;
  EXPECT_EQ(battery.Run({u"/silent"}), 3020);
  for (const Bench* b : {&missing, &battery}) {
    EXPECT_TRUE(b->model.devsRequests.empty());
    EXPECT_TRUE(b->model.writtenImages.empty());
  }
}

// Every fault of the emulated world: never a success code, nothing written, the controller
// powered off; the notebook is "not one the package is for" only when no controller answers.
TEST(RunUnattended, EveryFaultIsAFailureThatPowersOff) {
  const std::set<Fault> notThisNotebook = {Fault::kAcpiControlFails, Fault::kQueryFails, Fault::kNoInstance,
                                           Fault::kIdNotString,      Fault::kIdTooLong,  Fault::kNoAcpiDevice};
  for (int f = 0; f < static_cast<int>(Fault::kCount); ++f) {
    const auto fault = static_cast<Fault>(f);
    for (const char16_t* mode : {u"/silent", u"/check"}) {
      // /check never hands an image over, so its in-parameters cannot fail it.
      const bool writing = fault == Fault::kBufferNotCreated || fault == Fault::kBufferSizeNotPut;
      if (writing && mode == std::u16string_view(u"/check")) continue;
      Bench b(0x21);
      b.model.faults = {fault};
      const int code = b.Run({mode});
      EXPECT_EQ(code, notThisNotebook.count(fault) != 0 ? 1633 : 1603) << "fault " << f;
      EXPECT_TRUE(b.model.writtenImages.empty()) << "fault " << f;
      if (fault != Fault::kAcpiControlFails && fault != Fault::kNoAcpiDevice) {
        EXPECT_TRUE(b.PoweredOffLast()) << "fault " << f;
      }
    }
  }
}

TEST(RunLog, OneStampedLinePerEvent) {
  Bench b(0x21);
  b.model.controllerId = u"PCI\\VEN_8086&DEV_156D";
  ASSERT_EQ(b.Run({u"/silent"}), 3010);
  RunLog log(&b.file);
  log.Status(kSuccess, u"Updated.\nRestart.");
  log.ExitCode(3010);
  const std::string expected =
      "2026-12-07 09:05:03.042 power on: 0x00000000\r\n"
      "2026-12-07 09:05:03.042 start service: 0x00000000\r\n"
      "2026-12-07 09:05:03.042 controller PCI\\VEN_8086&DEV_156D, NVM version 0x00000020\r\n"
      "2026-12-07 09:05:03.042 image C:\\Tools\\data\\firmware.bin, " +
      std::to_string(b.image.size()) + " bytes, SHA-256 " + Sha256Hex(b.image) +
      "\r\n"
      "2026-12-07 09:05:03.042 image chosen: C:\\Tools\\data\\firmware.bin\r\n"
      "2026-12-07 09:05:03.042 image NVM version 0x00000021\r\n"
      "2026-12-07 09:05:03.042 write: 0x00000000\r\n"
      "2026-12-07 09:05:03.042 power off: 0x00000000\r\n"
      "2026-12-07 09:05:03.042 status 0x00000000: Updated.\\u{A}Restart.\r\n"
      "2026-12-07 09:05:03.042 exit code 3010\r\n";
  EXPECT_EQ(b.file.text, expected);
}

}  // namespace
