// The command-line parser on arbitrary arguments: the input's UTF-16 units, split into
// arguments at each NUL.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"

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
  std::vector<const char16_t*> argv;
  for (const std::u16string& arg : args) {
    argv.push_back(arg.c_str());
    ParseHexLong(arg.c_str());
  }
  LaunchOptions options;
  ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options);
  return 0;
}
