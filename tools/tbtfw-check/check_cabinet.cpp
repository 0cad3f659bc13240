#include "tools/tbtfw-check/check_cabinet.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "common/number_text.h"
#include "common/sha256.h"
#include "common/utf8.h"
#include "tools/tbtfw-check/cabinet_metainfo.h"
#include "tools/tbtfw-check/check_validate.h"
#include "tools/tbtfw-check/json_output.h"

namespace {

constexpr int kRefused = 1;
constexpr int kUsageError = 2;
constexpr int kFileError = 3;
constexpr int kNoCabinet = 4;

constexpr char kCabinetUsage[] =
    "usage: tbtfw-check cabinet IMAGE --out FOLDER [--json] [--id ID] [--name TEXT] [--summary TEXT]\n"
    "                           [--release-notes TEXT] [--date YYYY-MM-DD] [--vendor-id HEX --model-id HEX]\n";

struct CabinetRequest {
  std::u16string image;
  std::u16string out;
  MetainfoText text;
  std::optional<std::uint16_t> vendorId;
  std::optional<std::uint16_t> modelId;
};

std::optional<CabinetRequest> ParseRequest(const std::vector<std::u16string>& args, std::string& problem) {
  CabinetRequest request;
  bool haveImage = false, haveOut = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::u16string& arg = args[i];
    if (arg.rfind(u"--", 0) != 0) {
      if (haveImage) {
        problem = "unexpected argument " + ToUtf8(arg);
        return std::nullopt;
      }
      request.image = arg;
      haveImage = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      problem = ToUtf8(arg) + " needs a value";
      return std::nullopt;
    }
    const std::u16string& value = args[++i];
    if (arg == u"--out") {
      request.out = value;
      haveOut = true;
    } else if (arg == u"--id") {
      request.text.id = ToUtf8(value);
    } else if (arg == u"--name") {
      request.text.name = ToUtf8(value);
    } else if (arg == u"--summary") {
      request.text.summary = ToUtf8(value);
    } else if (arg == u"--release-notes") {
      request.text.releaseNotes = ToUtf8(value);
    } else if (arg == u"--date") {
      request.text.date = ToUtf8(value);
    } else if (arg == u"--vendor-id" || arg == u"--model-id") {
      const auto id = ParseHexNumber(value, 0xFFFF);
      if (!id) {
        problem = ToUtf8(arg) + " takes a hexadecimal id up to FFFF";
        return std::nullopt;
      }
      (arg == u"--vendor-id" ? request.vendorId : request.modelId) = static_cast<std::uint16_t>(*id);
    } else {
      problem = "unknown option " + ToUtf8(arg);
      return std::nullopt;
    }
  }
  if (!haveImage || !haveOut) {
    problem = "IMAGE and --out FOLDER are required";
    return std::nullopt;
  }
  if (request.vendorId.has_value() != request.modelId.has_value()) {
    problem = "--vendor-id and --model-id go together";
    return std::nullopt;
  }
  return request;
}

// The --out folder: made here, or an empty folder that is no link. A root or
// administrator run must not write through a link, or over files, someone else put there.
bool PrepareOutFolder(const std::filesystem::path& folder) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::symlink_status(folder, error);
  if (!error && std::filesystem::exists(status)) {
    return std::filesystem::is_directory(status) && std::filesystem::is_empty(folder, error) && !error;
  }
  std::filesystem::create_directories(folder, error);
  return !error && std::filesystem::is_directory(std::filesystem::symlink_status(folder, error)) && !error;
}

// The board identity the GUIDs name: the image's own, which an option may only repeat; or,
// for a generation whose image carries none we read, the maker's from the options.
bool SettleIdentity(CabinetFacts& facts, const CabinetRequest& request, std::string& out, std::string& err) {
  if (facts.vendorId) {
    if (request.vendorId && (*request.vendorId != *facts.vendorId || *request.modelId != *facts.modelId)) {
      std::array<char, 96> line{};
      std::snprintf(line.data(), line.size(), "status=0x%08X\nfield=Vendor ID/Model ID\n", TBFW_E_FIELD_MISMATCH);
      out += line.data();
      out += "refused=the image names another board than --vendor-id and --model-id\n";
      return false;
    }
    return true;
  }
  if (!request.vendorId) {
    err += "tbtfw-check: this generation's image names no board; give --vendor-id and --model-id\n";
    return false;
  }
  facts.vendorId = request.vendorId;
  facts.modelId = request.modelId;
  return true;
}

}  // namespace

namespace {

// What a refused image gets: its status, the field that refused it, the reason.
std::string RefusalLines(const CabinetRefusal& refusal) {
  std::array<char, 64> line{};
  std::snprintf(line.data(), line.size(), "status=0x%08X\n", refusal.status);
  std::string lines = line.data();
  if (refusal.field != nullptr) lines += "field=" + ToUtf8(refusal.field->name) + "\n";
  return lines + "refused=" + refusal.reason + "\n";
}

// The ids and texts a maker does not give.
void FillMakersTexts(const CabinetFacts& facts, MetainfoText& text) {
  std::array<char, 16> board{};
  std::snprintf(board.data(), board.size(), "%04X%04X", *facts.vendorId, *facts.modelId);
  if (text.id.empty()) text.id = std::string("com.vanto.ThunderboltController.B") + board.data() + ".firmware";
  if (text.name.empty()) text.name = "Thunderbolt Controller";
  if (text.summary.empty()) text.summary = "Firmware for the notebook's Thunderbolt controller";
  if (text.releaseNotes.empty()) text.releaseNotes = "This release updates the Thunderbolt controller firmware.";
}

int CabinetLines(const std::vector<std::u16string>& args, CheckEnvironment& env, std::string& out, std::string& err) {
  std::string problem;
  auto request = ParseRequest(args, problem);
  if (!request) {
    err += "tbtfw-check: " + problem + "\n" + kCabinetUsage;
    return kUsageError;
  }
  std::vector<std::uint8_t> image;
  if (!ReadImageFile(env.resolvePath(request->image), image, problem)) {
    err += "tbtfw-check: " + ToUtf8(request->image) + ": " + problem + "\n";
    return kFileError;
  }

  CabinetRefusal refusal;
  std::optional<CabinetFacts> facts = ReadCabinetFacts(image, refusal);
  if (!facts) {
    out += RefusalLines(refusal);
    return kRefused;
  }
  if (!SettleIdentity(*facts, *request, out, err)) return out.empty() ? kUsageError : kRefused;
  // fwupd's "pair" reads each part as a decimal number; a version byte with a hexadecimal
  // letter still goes out as the kernel shows it, with a warning.
  const std::string version = PairVersion(facts->versionMajor, facts->versionMinor);
  if (!IsDecimalPair(version)) {
    err += "tbtfw-check: warning: version " + version + " has a letter; fwupd compares it as plain text\n";
  }
  FillMakersTexts(*facts, request->text);
  // fwupd names a host by the plain id or, for a controller in native mode, by the
  // "-native" one. The cabinet offers the image only to a controller of the image's own
  // mode: offered to the other, it would be written and leave the ports unusable until the
  // board's firmware setting is changed by hand.
  const std::string instanceId = HostInstanceId(*facts->vendorId, *facts->modelId, facts->native);
  const std::string guids[] = {NameBasedGuid(instanceId)};
  const std::string metainfo = BuildMetainfo(request->text, guids, version, "firmware.bin", Sha256Hex(image));

  const std::filesystem::path folder(env.resolvePath(request->out));
  if (!PrepareOutFolder(folder)) {
    err += "tbtfw-check: --out must name a new or empty folder that is no link: " + ToUtf8(request->out) + "\n";
    return kFileError;
  }
  const std::filesystem::path bin = folder / "firmware.bin", xml = folder / "firmware.metainfo.xml",
                              cab = folder / "firmware.cab";
  if (!env.writeNewFile(bin.u16string(), std::string(image.begin(), image.end())) ||
      !env.writeNewFile(xml.u16string(), metainfo)) {
    err += "tbtfw-check: cannot write into " + ToUtf8(request->out) + "\n";
    return kFileError;
  }
  out += "guid=" + guids[0] + " " + instanceId + "\n";
  out += "version=" + version + "\n";

  const int status =
      env.runProgram({u"gcab", u"--create", u"--nopath", cab.u16string(), bin.u16string(), xml.u16string()});
  if (status != 0) {
    err += status < 0 ? "tbtfw-check: gcab could not be started; pack the two files into a cabinet with it\n"
                      : "tbtfw-check: gcab failed\n";
    return kNoCabinet;
  }
  out += "cabinet=" + ToUtf8(cab.u16string()) + "\n";
  return 0;
}

}  // namespace

int RunCabinet(const std::vector<std::u16string>& args, CheckEnvironment& env, std::string& out, std::string& err) {
  std::vector<std::u16string> rest;
  bool json = false;
  for (const std::u16string& arg : args) {
    if (arg == u"--json") {
      json = true;
    } else {
      rest.push_back(arg);
    }
  }
  std::string lines;
  const int status = CabinetLines(rest, env, lines, err);
  out += json ? KeyValuesAsJson(lines) : lines;
  return status;
}
