#include "emulator/scenario.h"

#include <algorithm>
#include <array>

#include "common/number_text.h"
#include "common/utf8.h"
#include "common/profile_reader.h"

namespace {

struct FaultName {
  std::u16string_view name;
  Fault fault;
};

constexpr std::array kFaultNames{
    FaultName{u"NoLocator", Fault::kNoLocator},
    FaultName{u"NoNamespace", Fault::kNoNamespace},
    FaultName{u"QueryFails", Fault::kQueryFails},
    FaultName{u"NoInstance", Fault::kNoInstance},
    FaultName{u"IdNotString", Fault::kIdNotString},
    FaultName{u"IdTooLong", Fault::kIdTooLong},
    FaultName{u"NoClass", Fault::kNoClass},
    FaultName{u"NoMethod", Fault::kNoMethod},
    FaultName{u"NoSpawn", Fault::kNoSpawn},
    FaultName{u"ExecFails", Fault::kExecFails},
    FaultName{u"NoOutParams", Fault::kNoOutParams},
    FaultName{u"NoReturnValue", Fault::kNoReturnValue},
    FaultName{u"NoData", Fault::kNoData},
    FaultName{u"NoNvmVersion", Fault::kNoNvmVersion},
    FaultName{u"BufferNotCreated", Fault::kBufferNotCreated},
    FaultName{u"BufferSizeNotPut", Fault::kBufferSizeNotPut},
    FaultName{u"ReadRangeNotPut", Fault::kReadRangeNotPut},
    FaultName{u"NoAcpiDevice", Fault::kNoAcpiDevice},
    FaultName{u"AcpiControlFails", Fault::kAcpiControlFails},
    FaultName{u"NoServiceManager", Fault::kNoServiceManager},
    FaultName{u"ServiceMissing", Fault::kServiceMissing},
    FaultName{u"ServiceWontStart", Fault::kServiceWontStart},
    FaultName{u"NoMemory", Fault::kNoMemory},
    FaultName{u"ShortRead", Fault::kShortRead},
    FaultName{u"ReadFails", Fault::kReadFails},
    FaultName{u"SizeFails", Fault::kSizeFails},
};

constexpr std::array<std::string_view, 3> kMethods{"GetCurrentNvmVersion", "ReadFirmware", "UpdateFirmware"};

// The out-parameters a reply can replace; only "data" is an array that can come short.
constexpr std::array<std::string_view, 5> kReplyParameters{
    "GetCurrentNvmVersion.ReturnValue", "GetCurrentNvmVersion.NvmVersion", "ReadFirmware.ReturnValue",
    "ReadFirmware.data", "UpdateFirmware.ReturnValue"};

struct ReplyName {
  std::u16string_view name;
  Reply reply;
  bool arrayOnly;
};

constexpr std::array kReplyNames{
    ReplyName{u"null", Reply::kNull, false},  ReplyName{u"missing", Reply::kMissing, false},
    ReplyName{u"text", Reply::kText, false},  ReplyName{u"short", Reply::kShort, true},
    ReplyName{u"empty", Reply::kEmpty, true},
};

std::u16string Widen(std::string_view s) { return {s.begin(), s.end()}; }

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == u' ' || s.back() == u'\t' || s.back() == u'\r')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::optional<Fault> FaultByName(std::u16string_view name) {
  for (const FaultName& entry : kFaultNames) {
    if (entry.name == name) return entry.fault;
  }
  return std::nullopt;
}

std::string ReadScenario(std::span<const std::uint8_t> bytes, ControllerModel& model, std::u16string& regionFile) {
  const ProfileFile ini = ProfileFile::Parse(bytes);
  const auto region = ini.Find(u"controller", u"region");
  if (!region || Trim(*region).empty()) return "[controller] region is missing";
  regionFile = std::u16string(Trim(*region));

  const auto versionText = ini.Find(u"controller", u"nvm_version");
  const auto version = versionText ? ParseNumber(Trim(*versionText)) : std::nullopt;
  if (!version) return "[controller] nvm_version is missing or not a number";
  model.nvmVersion = *version;

  if (const auto id = ini.Find(u"controller", u"controller_id"); id && !Trim(*id).empty()) {
    model.controllerId = std::u16string(Trim(*id));
  }

  if (const auto text = ini.Find(u"controller", u"update_ms")) {
    const auto ms = ParseNumber(Trim(*text));
    if (!ms || *ms > 600000) return "[controller] update_ms must be a number of milliseconds up to 600000";
    model.updateMilliseconds = *ms;
  }

  for (const FaultName& entry : kFaultNames) {
    const auto value = ini.Find(u"faults", entry.name);
    if (!value) continue;
    const auto on = ParseNumber(Trim(*value));
    if (!on || *on > 1) return "[faults] " + ToUtf8(entry.name) + " must be 0 or 1";
    if (*on == 1) model.faults.insert(entry.fault);
  }

  for (std::string_view method : kMethods) {
    const auto value = ini.Find(u"return_values", Widen(method));
    if (!value) continue;
    const auto number = ParseNumber(Trim(*value));
    if (!number) return "[return_values] " + std::string(method) + " is not a number";
    model.returnValues[std::string(method)] = *number;
  }

  for (std::string_view parameter : kReplyParameters) {
    const auto value = ini.Find(u"replies", Widen(parameter));
    if (!value) continue;
    const bool isArray = parameter.ends_with(".data");
    const auto form = std::find_if(kReplyNames.begin(), kReplyNames.end(), [&](const ReplyName& r) {
      return r.name == Trim(*value) && (isArray || !r.arrayOnly);
    });
    if (form == kReplyNames.end()) {
      return "[replies] " + std::string(parameter) + " must be null, missing, text" +
             (isArray ? ", short or empty" : "");
    }
    model.replies[std::string(parameter)] = form->reply;
  }
  return {};
}
