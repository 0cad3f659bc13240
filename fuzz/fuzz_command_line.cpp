// The command-line parser on arbitrary arguments: the input's UTF-16 units, split into
// arguments at each NUL. The options must come out as the two switches define them: the
// language is the low 16 bits of the last "/LID:" value as ParseHexLong reads it, and
// downgradable is set only by an argument that is "/downgradable" in any ASCII case.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

std::u16string AsciiLower(std::u16string text) {
  for (char16_t& c : text)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::u16string> args(1, u"TbtFwUpdate.exe");
  args.emplace_back();
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const auto unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == 0) {
      args.emplace_back();
    } else {
      args.back() += unit;
    }
  }
  RunRequest expected{0, 0x0409};
  std::vector<const char16_t*> argv;
  for (std::size_t i = 0; i < args.size(); ++i) {
    argv.push_back(args[i].c_str());
    const std::u16string lower = AsciiLower(args[i]);
    if (i == 0) continue;
    if (lower == u"/downgradable") expected.downgradable = true;
    if (lower.size() > 5 && lower.compare(0, 5, u"/lid:") == 0)
      expected.language = static_cast<std::uint16_t>(ParseHexLong(args[i].c_str() + 5));
  }
  RunRequest options{0, 0x0409};
  ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options);
  if (options.downgradable != expected.downgradable || options.language != expected.language) std::abort();
  return 0;
}
