#include "tools/tbtfw-check/check_command.h"

#include <array>
#include <cstdio>
#include <optional>
#include <string_view>

#include "app/command_line.h"
#include "app/status_message.h"
#include "common/number_text.h"
#include "common/utf8.h"
#include "skin/localized_text.h"
#include "tools/tbtfw-check/check_cabinet.h"
#include "tools/tbtfw-check/check_validate.h"

namespace {

constexpr int kUsageError = 2;

constexpr char kUsage[] =
    "usage:\n"
    "  tbtfw-check args [--ui-language HEX] [ARG...]\n"
    "  tbtfw-check text --ini FILE --lang HEX KEY\n"
    "  tbtfw-check message --ini FILE --lang HEX STATUS\n"
    "  tbtfw-check validate --controller DUMP [--controller-version N] IMAGE\n"
    "  tbtfw-check cabinet IMAGE --out FOLDER [--id ID] [--name TEXT] [--summary TEXT] [--release-notes TEXT]\n"
    "                      [--date YYYY-MM-DD] [--vendor-id HEX --model-id HEX]\n";

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

int RunText(const std::vector<std::u16string>& args, CheckEnvironment& env, std::string& out, std::string& err) {
  std::string problem;
  const auto request = ParseTextRequest(args, problem);
  if (!request) return Usage(err, problem);
  std::array<char16_t, kMessageCapacity> text{};
  LoadLocalizedTextFrom(env.profile, env.resolvePath(request->ini), request->language, request->operand.c_str(),
                        text.data(), text.size());
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
  if (command == u"args") return RunArgs(args, env, out, err);
  if (command == u"text") return RunText(args, env, out, err);
  if (command == u"message") return RunMessage(args, env, out, err);
  if (command == u"validate") return RunValidate(args, env, out, err);
  if (command == u"cabinet") return RunCabinet(args, env, out, err);
  if (command == u"--help" || command == u"-h" || command == u"help") {
    out += kUsage;
    return 0;
  }
  return Usage(err, "unknown command " + ToUtf8(command));
}
