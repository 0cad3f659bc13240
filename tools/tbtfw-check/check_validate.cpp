#include "tools/tbtfw-check/check_validate.h"

#include <algorithm>
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
#include "app/update_worker.h"
#include "common/sha256.h"
#include "controller/image_choice.h"
#include "controller/image_validation.h"
#include "tools/tbtfw-check/json_output.h"

namespace {

constexpr int kRefused = 1;
constexpr int kUsageError = 2;
constexpr int kUnreadable = 3;
// Far more than any image or region; keeps a wrong file from exhausting memory.
constexpr std::uintmax_t kMaxFileSize = 64u << 20;

constexpr char kValidateUsage[] =
    "usage: tbtfw-check validate --controller DUMP [--controller-version N] [--downgradable] IMAGE|FOLDER\n";

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
    {TBFW_E_DOWNGRADE, "the image is older than the controller's firmware; --downgradable allows it"},
    {TBFW_E_AMBIGUOUS_IMAGE, "two or more images fit the controller and differ: none would be written"},
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
  bool downgradable = false;
  bool json = false;
  std::u16string image;  // a file, or the folder the tool would choose an image from
};

std::optional<ValidateRequest> ParseRequest(const std::vector<std::u16string>& args, std::string& problem) {
  ValidateRequest request;
  bool haveDump = false, haveImage = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::u16string& arg = args[i];
    if (arg == u"--downgradable") {
      request.downgradable = true;
    } else if (arg == u"--json") {
      request.json = true;
    } else if (arg == u"--controller" || arg == u"--controller-version") {
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

namespace {

// The images the tool would try from `folder`: regular files whose names end in ".bin",
// in the tool's order. Empty, with `problem` set, when the folder cannot be listed or
// holds more images than the tool checks.
std::vector<std::filesystem::path> ImagesIn(const std::filesystem::path& folder, std::string& problem) {
  std::vector<std::filesystem::path> images;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    std::error_code kind;
    if (!entry.is_regular_file(kind) || entry.is_symlink(kind)) continue;
    if (IsImageName(entry.path().filename().u16string())) images.push_back(entry.path());
  }
  if (error) problem = "the folder cannot be listed";
  if (images.size() > kMostImages) {
    problem = "more than ";
    problem += std::to_string(kMostImages);
    problem += " images";
  }
  if (!problem.empty()) return {};
  std::sort(images.begin(), images.end(), [](const auto& a, const auto& b) {
    return ImageNameBefore(a.filename().u16string(), b.filename().u16string());
  });
  return images;
}

// One image checked as the tool checks it: the size limit, then validation.
struct Checked {
  StatusCode status = TBFW_E_NO_IMAGE;
  std::uint32_t version = 0;
  ValidationDetail detail;
  const char* problem = nullptr;  // why the file was not validated
};

Checked CheckFile(const std::filesystem::path& path, DumpController& controller, std::string& digest) {
  Checked checked;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size == 0 || size > kLargestImageSize) {
    checked.problem = error ? "cannot be read" : size == 0 ? "empty" : "larger than any controller's NVM (16 MiB)";
    return checked;
  }
  std::vector<std::uint8_t> image;
  std::string problem;
  if (!ReadImageFile(path.u16string(), image, problem)) {
    checked.problem = "cannot be read";
    return checked;
  }
  checked.status = ValidateImage(controller, image, checked.version, &checked.detail);
  if (checked.status == kSuccess) digest = Sha256Hex(image);
  return checked;
}

void DescribeRefusal(std::string& out, const ValidationDetail& detail) {
  if (detail.field != nullptr) out += "field=" + ToUtf8(detail.field->name) + "\n";
  if (detail.row) Line(out, "row=%u\n", static_cast<std::uint32_t>(*detail.row + 1));
}

// The images IMAGE names: the file, or the folder's images as the tool lists them.
std::vector<std::filesystem::path> ImagesToCheck(const std::filesystem::path& target, bool folder,
                                                 std::string& problem) {
  if (folder) return ImagesIn(target, problem);
  std::error_code error;
  if (std::filesystem::is_regular_file(target, error)) return {target};
  problem = "not a readable file";
  return {};
}

// The lines after the status: each image's status (a folder), why a single image was
// refused, the images that fit, the one chosen and the two versions.
void DescribeChoice(std::string& out, const std::vector<std::filesystem::path>& images,
                    const std::vector<Checked>& checked, const ImageChoice& choice, bool folder,
                    std::uint32_t controllerVersion) {
  if (!folder && !checked.empty()) {
    if (checked[0].problem != nullptr) out += std::string("problem=") + checked[0].problem + "\n";
    DescribeRefusal(out, checked[0].detail);
  }
  for (std::size_t i : choice.fitting) out += "fits=" + ToUtf8(images[i].filename().u16string()) + "\n";
  if (!choice.chosen) return;
  const Checked& chosen = checked[*choice.chosen];
  if (folder) out += "chosen=" + ToUtf8(images[*choice.chosen].filename().u16string()) + "\n";
  Line(out, "image-version=0x%02X (%u)\n", chosen.version, chosen.version);
  Line(out, "controller-version=0x%02X (%u)\n", controllerVersion, controllerVersion);
}

}  // namespace

int RunValidate(const std::vector<std::u16string>& args, CheckEnvironment& env, std::string& out, std::string& err) {
  std::string problem;
  const auto request = ParseRequest(args, problem);
  if (!request) {
    err += "tbtfw-check: " + problem + "\n" + kValidateUsage;
    return kUsageError;
  }
  std::vector<std::uint8_t> dump;
  if (!ReadImageFile(env.resolvePath(request->dump), dump, problem)) {
    err += "tbtfw-check: " + ToUtf8(request->dump) + ": " + problem + "\n";
    return kUnreadable;
  }
  const std::filesystem::path target(env.resolvePath(request->image));
  std::error_code error;
  const bool folder = std::filesystem::is_directory(target, error);
  const std::vector<std::filesystem::path> images = ImagesToCheck(target, folder, problem);
  if (!problem.empty()) {
    err += "tbtfw-check: " + ToUtf8(request->image) + ": " + problem + "\n";
    return kUnreadable;
  }

  // A dump holds the region from its first byte, so its version sits at 0x0A.
  const std::uint32_t controllerVersion = request->version.value_or(dump.size() > 0x0A ? dump[0x0A] : 0);
  DumpController controller(std::move(dump), controllerVersion);
  std::vector<Checked> checked(images.size());
  std::string perImage;
  const ImageChoice choice = ChooseImage(images.size(), [&](std::size_t i) {
    ImageVerdict verdict;
    checked[i] = CheckFile(images[i], controller, verdict.sha256);
    verdict.status = checked[i].status;
    if (folder) {
      Line(perImage, "image-status=0x%08X ", verdict.status);
      perImage += ToUtf8(images[i].filename().u16string()) + "\n";
    }
    return verdict;
  });

  StatusCode status = choice.status;
  const Checked* chosen = choice.chosen ? &checked[*choice.chosen] : nullptr;
  if (chosen != nullptr && chosen->version < controllerVersion && !request->downgradable) status = TBFW_E_DOWNGRADE;
  Line(out, "status=0x%08X\n", status);
  out += std::string("meaning=") + MeaningOf(status) + "\n";
  out += perImage;
  DescribeChoice(out, images, checked, choice, folder, controllerVersion);
  if (request->json) out = KeyValuesAsJson(out);
  return status == kSuccess ? 0 : kRefused;
}
