#include "tools/tbtfw-check/check_command.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>
#include <optional>
#include <string_view>

#include "app/command_line.h"
#include "app/status_message.h"
#include "common/number_text.h"
#include "common/profile_reader.h"
#include "common/utf8.h"
#include "skin/localized_text.h"
#include "tools/tbtfw-check/check_cabinet.h"
#include "tools/tbtfw-check/check_validate.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kIniUnusable = 3;  // text, message: the INI is missing, a folder, empty, binary or too large
constexpr int kNoSuchText = 4;   // text: the key is in neither the language's section nor English's

constexpr char kUsage[] =
    "usage: tbtfw-check COMMAND [OPTIONS]   (tbtfw-check COMMAND --help, tbtfw-check --version)\n"
    "\n"
    "  args [--ui-language HEX] [ARG...]\n"
    "      how the tool reads ARG...: downgradable=<0|1> language=0x<hex4>\n"
    "  text --ini FILE --lang HEX KEY\n"
    "      the text shown for KEY in language HEX\n"
    "  message --ini FILE --lang HEX STATUS\n"
    "      the message shown after an update ending with STATUS\n"
    "  validate --controller DUMP [--controller-version N] [--downgradable] [--json] IMAGE|FOLDER\n"
    "      whether the tool would write IMAGE (or which image of FOLDER) to the controller DUMP\n"
    "  cabinet IMAGE --out FOLDER [--json] [--id ID] [--name TEXT] [--summary TEXT] [--release-notes TEXT]\n"
    "          [--date YYYY-MM-DD] [--vendor-id HEX --model-id HEX]\n"
    "      the fwupd cabinet of IMAGE\n"
    "\n"
    "Output: UTF-8 lines of KEY=VALUE (validate, cabinet: one JSON object with --json).\n"
    "Exit codes: 0 done; 1 validate, cabinet: refused; 2 wrong arguments; 3 a file cannot be read\n"
    "(text, message: the INI is missing, a folder, empty, binary or over 1 MiB); 4 text: no such\n"
    "key; cabinet: 4 gcab could not be run.\n";

struct CommandHelp {
  const char16_t* command;
  const char* text;
};

constexpr CommandHelp kCommandHelp[] = {
    {u"args",
     "usage: tbtfw-check args [--ui-language HEX] [ARG...]\n"
     "Prints downgradable=<0|1> language=0x<hex4>: the tool's reading of its command line ARG...\n"},
    {u"text",
     "usage: tbtfw-check text --ini FILE --lang HEX KEY\n"
     "Prints the text of KEY for language HEX as the tool looks it up (English when the language\n"
     "has none). Exit 3: FILE missing, a folder, empty, binary or over 1 MiB; 4: no such key.\n"},
    {u"message",
     "usage: tbtfw-check message --ini FILE --lang HEX STATUS\n"
     "Prints the message the window shows after an update ending with STATUS. Exit 3: as text.\n"},
    {u"validate",
     "usage: tbtfw-check validate --controller DUMP [--controller-version N] [--downgradable] [--json]\n"
     "                            IMAGE|FOLDER\n"
     "Checks IMAGE as the tool does before writing (size, validation, downgrade rule), or chooses\n"
     "from FOLDER as the tool chooses from its data folder. Exit 0 passes, 1 refused, 2 wrong\n"
     "arguments, 3 a file or folder cannot be read.\n"},
    {u"cabinet",
     "usage: tbtfw-check cabinet IMAGE --out FOLDER [--json] [--id ID] [--name TEXT] [--summary TEXT]\n"
     "                           [--release-notes TEXT] [--date YYYY-MM-DD] [--vendor-id HEX --model-id HEX]\n"
     "Writes firmware.bin, firmware.metainfo.xml and (with gcab) firmware.cab into FOLDER.\n"
     "Exit 0 done, 1 refused, 2 wrong arguments, 3 a file cannot be read or written, 4 no gcab.\n"},
};

int Usage(std::string& err, const std::string& problem) {
  err += "tbtfw-check: " + problem + "\n" + kUsage;
  return kUsageError;
}

int RunArgs(const std::vector<std::u16string>& args, CheckEnvironment& env, std::string& out, std::string& err) {
  RunRequest options;
  options.language = env.uiLanguage;
  std::size_t first = 1;
  if (args.size() > 2 && args[1] == u"--ui-language") {
    const auto language = ParseHexNumber(args[2], 0xFFFF);
    if (!language) return Usage(err, "--ui-language takes a hexadecimal language id up to FFFF");
    options.language = static_cast<std::uint16_t>(*language);
    first = 3;
  } else if (args.size() == 2 && args[1] == u"--ui-language") {
    return Usage(err, "--ui-language needs a value");
  }
  // The tool's argument vector starts with the program itself.
  std::vector<const char16_t*> argv{u"TbtFwUpdate.exe"};
  for (std::size_t i = first; i < args.size(); ++i) argv.push_back(args[i].c_str());
  ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options);
  std::array<char, 64> line{};
  std::snprintf(line.data(), line.size(), "downgradable=%d language=0x%04X\n", options.downgradable ? 1 : 0,
                static_cast<unsigned>(options.language));
  out += line.data();
  return 0;
}

struct TextRequest {
  std::u16string ini;
  std::uint16_t language = 0;
  std::u16string operand;
};

// Reads "--ini FILE --lang HEX OPERAND" in any order of the two options.
std::optional<TextRequest> ParseTextRequest(const std::vector<std::u16string>& args, std::string& problem) {
  TextRequest request;
  bool haveIni = false, haveLang = false, haveOperand = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == u"--ini" || args[i] == u"--lang") {
      if (i + 1 >= args.size()) {
        problem = ToUtf8(args[i]) + " needs a value";
        return std::nullopt;
      }
      if (args[i] == u"--ini") {
        request.ini = args[++i];
        haveIni = true;
      } else {
        const auto language = ParseHexNumber(args[++i], 0xFFFF);
        if (!language) {
          problem = "--lang takes a hexadecimal language id up to FFFF";
          return std::nullopt;
        }
        request.language = static_cast<std::uint16_t>(*language);
        haveLang = true;
      }
    } else if (!haveOperand) {
      request.operand = args[i];
      haveOperand = true;
    } else {
      problem = "unexpected argument " + ToUtf8(args[i]);
      return std::nullopt;
    }
  }
  if (!haveIni || !haveLang || !haveOperand) {
    problem = "--ini, --lang and one operand are required";
    return std::nullopt;
  }
  return request;
}

// Whether the INI at `path` can be read as the tool's texts: a regular file of 1 byte to
// 1 MiB that is UTF-16LE with its byte-order mark or single-byte text (no NUL byte). Its
// bytes are left in `bytes`; otherwise `problem` says why not.
bool ReadIniFile(const std::u16string& path, std::vector<std::uint8_t>& bytes, std::string& problem) {
  const std::filesystem::path file(path);
  std::error_code error;
  if (!std::filesystem::exists(file, error)) {
    problem = "no such file";
  } else if (!std::filesystem::is_regular_file(file, error)) {
    problem = "not a file";
  } else {
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
      problem = "cannot be read";
    } else if (size == 0) {
      problem = "empty";
    } else if (size > kLargestProfileFile) {
      problem = "larger than 1 MiB";
    } else {
      std::ifstream in(file, std::ios::binary);
      bytes.resize(static_cast<std::size_t>(size));
      if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        problem = "cannot be read";
      }
    }
  }
  const bool utf16 = bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
  if (problem.empty() && !utf16 && std::find(bytes.begin(), bytes.end(), 0) != bytes.end()) {
    problem = "not a text file (binary, or UTF-16 without its byte-order mark)";
  }
  return problem.empty();
}

// Whether the INI holds `key` for `language` where the tool looks: the language's section,
// or English's when the language has none. Read with the portable reader: it tells a key
// that is missing from one whose text is empty.
bool HoldsText(const std::vector<std::uint8_t>& bytes, std::uint16_t language, const std::u16string& key) {
  const ProfileFile file = ProfileFile::Parse(bytes);
  auto section = file.Find(u"Language", LanguageKey(NormalizeLanguage(language)));
  if (!section || section->empty()) section = file.Find(u"Language", u"0x409");
  if (!section || section->empty()) return false;
  std::array<char16_t, 64> name{};
  CopyProfileValue(*section, name.data(), name.size());
  return file.Find(name.data(), key).has_value();
}

int RunText(const std::vector<std::u16string>& args, CheckEnvironment& env, std::string& out, std::string& err) {
  std::string problem;
  const auto request = ParseTextRequest(args, problem);
  if (!request) return Usage(err, problem);
  const std::u16string ini = env.resolvePath(request->ini);
  std::vector<std::uint8_t> bytes;
  if (!ReadIniFile(ini, bytes, problem)) {
    err += "tbtfw-check: " + ToUtf8(request->ini) + ": " + problem + "\n";
    return kIniUnusable;
  }
  std::array<char16_t, kMessageCapacity> text{};
  LoadLocalizedTextFrom(env.profile, ini, request->language, request->operand.c_str(), text.data(), text.size());
  if (text[0] == u'\0' && !HoldsText(bytes, request->language, request->operand)) {
    err += "tbtfw-check: no text " + ToUtf8(request->operand) + " for this language or English\n";
    return kNoSuchText;
  }
  out += ToUtf8(text.data()) + "\n";
  return 0;
}

int RunMessage(const std::vector<std::u16string>& args, CheckEnvironment& env, std::string& out, std::string& err) {
  std::string problem;
  const auto request = ParseTextRequest(args, problem);
  if (!request) return Usage(err, problem);
  const auto status = ParseNumber(request->operand);
  if (!status) return Usage(err, "STATUS is a 32-bit number, decimal or 0x-hexadecimal");
  const std::u16string ini = env.resolvePath(request->ini);
  std::vector<std::uint8_t> bytes;
  if (!ReadIniFile(ini, bytes, problem)) {
    err += "tbtfw-check: " + ToUtf8(request->ini) + ": " + problem + "\n";
    return kIniUnusable;
  }
  const TextLookup lookup = [&](const char16_t* key, char16_t* buffer, std::size_t capacity) {
    LoadLocalizedTextFrom(env.profile, ini, request->language, key, buffer, capacity);
  };
  std::array<char16_t, kMessageCapacity> message{};
  FormatStatusMessage(*status, lookup, message.data(), message.size());
  out += ToUtf8(message.data()) + "\n";
  return 0;
}

}  // namespace

int RunCheck(const std::vector<std::u16string>& args, CheckEnvironment& env, std::string& out, std::string& err) {
  if (args.empty()) return Usage(err, "no command given");
  const std::u16string& command = args[0];
  if (command == u"--help" || command == u"-h" || command == u"help") {
    out += kUsage;
    return 0;
  }
  if (command == u"--version") {
    out += std::string("tbtfw-check ") + TBTFW_CHECK_VERSION + "\n";
    return 0;
  }
  for (const CommandHelp& help : kCommandHelp) {
    if (command == help.command && args.size() > 1 && (args[1] == u"--help" || args[1] == u"-h")) {
      out += help.text;
      return 0;
    }
  }
  if (command == u"args") return RunArgs(args, env, out, err);
  if (command == u"text") return RunText(args, env, out, err);
  if (command == u"message") return RunMessage(args, env, out, err);
  if (command == u"validate") return RunValidate(args, env, out, err);
  if (command == u"cabinet") return RunCabinet(args, env, out, err);
  return Usage(err, "unknown command " + ToUtf8(command));
}
