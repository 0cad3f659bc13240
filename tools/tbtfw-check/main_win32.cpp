// tbtfw-check on Windows: wide arguments, the system's profile functions (so the texts are
// read exactly as the tool reads them) and the user's user-interface language. Output is
// UTF-8 bytes, whatever the console's code page.
#include <windows.h>

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

#include "common/program_folder.h"
#include "platform/win32/profile_strings_win32.h"
#include "platform/win32/wide.h"
#include "tools/tbtfw-check/check_command.h"

namespace {

// GetPrivateProfileStringW looks for a bare file name in the Windows folder, so a path
// from the command line is made absolute first.
std::u16string AbsolutePath(const std::u16string& path) {
  std::array<wchar_t, kPathCapacity> full{};
  const DWORD length = GetFullPathNameW(AsWide(path.c_str()), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length == 0 || length >= full.size()) return path;
  return AsUtf16(full.data());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(AsUtf16(argv[i]));
  Win32ProfileStrings profile;
  CheckEnvironment env{GetUserDefaultUILanguage(), profile, AbsolutePath};
  std::string out, err;
  const int status = RunCheck(args, env, out, err);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fwrite(err.data(), 1, err.size(), stderr);
  return status;
}
