#include "tools/tbtfw-check/check_validate.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>

#include "common/number_text.h"
#include "common/utf8.h"
#include "controller/dump_controller.h"
#include "controller/image_validation.h"

namespace {

constexpr int kRefused = 1;
constexpr int kUsageError = 2;
constexpr int kUnreadable = 3;
// Far more than any image or region; keeps a wrong file from exhausting memory.
constexpr std::uintmax_t kMaxFileSize = 64u << 20;

constexpr char kValidateUsage[] = "usage: tbtfw-check validate --controller DUMP [--controller-version N] IMAGE\n";

struct Meaning {
  StatusCode status;
  const char* text;
};

constexpr Meaning kMeanings[] = {
    {kSuccess, "the image passes every check for this controller"},
    {TBFW_E_NO_CONTROLLER, "no controller instance"},
    {TBFW_E_NO_PROVIDER, "the controller's provider cannot be reached"},
    {TBFW_E_UNKNOWN_DEVICE, "the image's device identifier is none of the known ones"},
    {TBFW_E_NO_IMAGE, "the image holds no usable region: both pointers blank, or it ends before a value it needs"},
    {TBFW_E_FIELD_MISMATCH, "a checked field differs between image and controller"},
    {TBFW_E_UNSUPPORTED_CONTROLLER, "the controller is not supported: generation 0 or an unknown identifier"},
    {TBFW_E_GENERATION_MISMATCH, "image and controller are of different generations"},
    {TBFW_E_PORT_VARIANT_MISMATCH, "image and controller are different port variants"},
    {TBFW_E_LEVEL_MISMATCH, "the image's level bits are above the controller's"},
    {DumpController::kOutOfRegion, "a controller read reached past the end of the dump"},
};

const char* MeaningOf(StatusCode status) {
  for (const Meaning& m : kMeanings) {
    if (m.status == status) return m.text;
  }
  return "a value of the controller's provider, passed through";
}

struct ValidateRequest {
  std::u16string dump;
  std::optional<std::uint32_t> version;
  std::u16string image;
};

std::optional<ValidateRequest> ParseRequest(const std::vector<std::u16string>& args, std::string& problem) {
  ValidateRequest request;
  bool haveDump = false, haveImage = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::u16string& arg = args[i];
    if (arg == u"--controller" || arg == u"--controller-version") {
      if (i + 1 >= args.size()) {
        problem = ToUtf8(arg) + " needs a value";
        return std::nullopt;
      }
      if (arg == u"--controller") {
        request.dump = args[++i];
        haveDump = true;
      } else if (!(request.version = ParseNumber(args[++i]))) {
        problem = "--controller-version takes a 32-bit number, decimal or 0x-hexadecimal";
        return std::nullopt;
      }
    } else if (!haveImage) {
      request.image = arg;
      haveImage = true;
    } else {
      problem = "unexpected argument " + ToUtf8(arg);
      return std::nullopt;
    }
  }
  if (!haveDump || !haveImage) {
    problem = "--controller DUMP and IMAGE are required";
    return std::nullopt;
  }
  return request;
}

template <typename... Values>
void Line(std::string& out, const char* format, Values... values) {
  std::array<char, 64> line{};
  std::snprintf(line.data(), line.size(), format, values...);
  out += line.data();
}

}  // namespace

bool ReadImageFile(const std::u16string& path, std::vector<std::uint8_t>& bytes, std::string& problem) {
  const std::filesystem::path fsPath(path);
  std::error_code error;
  const bool regular = std::filesystem::is_regular_file(fsPath, error);
  const std::uintmax_t size = regular ? std::filesystem::file_size(fsPath, error) : 0;
  if (!regular || error) {
    problem = "not a readable file";
    return false;
  }
  if (size > kMaxFileSize) {
    problem = "larger than 64 MiB";
    return false;
  }
  std::ifstream file(fsPath, std::ios::binary);
  bytes.resize(static_cast<std::size_t>(size));
  if (!file || !file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
    problem = "cannot be read";
    return false;
  }
  return true;
}

int RunValidate(const std::vector<std::u16string>& args, CheckEnvironment& env, std::string& out, std::string& err) {
  std::string problem;
  const auto request = ParseRequest(args, problem);
  if (!request) {
    err += "tbtfw-check: " + problem + "\n" + kValidateUsage;
    return kUsageError;
  }
  std::vector<std::uint8_t> dump, image;
  for (auto [path, bytes] : {std::pair{&request->dump, &dump}, std::pair{&request->image, &image}}) {
    if (!ReadImageFile(env.resolvePath(*path), *bytes, problem)) {
      err += "tbtfw-check: " + ToUtf8(*path) + ": " + problem + "\n";
      return kUnreadable;
    }
  }
  // A dump holds the region from its first byte, so its version sits at 0x0A.
  const std::uint32_t version = request->version.value_or(dump.size() > 0x0A ? dump[0x0A] : 0);
  DumpController controller(std::move(dump), version);
  std::uint32_t imageVersion = 0;
  ValidationDetail detail;
  const StatusCode status = ValidateImage(controller, image, imageVersion, &detail);

  Line(out, "status=0x%08X\n", status);
  out += std::string("meaning=") + MeaningOf(status) + "\n";
  if (detail.field != nullptr) out += "field=" + ToUtf8(detail.field->name) + "\n";
  if (detail.row) Line(out, "row=%u\n", static_cast<std::uint32_t>(*detail.row + 1));
  if (status == kSuccess) Line(out, "image-version=0x%02X (%u)\n", imageVersion, imageVersion);
  return status == kSuccess ? 0 : kRefused;
}
