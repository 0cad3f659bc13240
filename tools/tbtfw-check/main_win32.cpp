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
#include "platform/win32/unique_handle.h"
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

// One argument quoted so that CommandLineToArgvW gives it back unchanged.
std::wstring QuoteArgument(const std::u16string& arg) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const char16_t c : arg) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == u'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += static_cast<wchar_t>(c);
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

int RunProgram(const std::vector<std::u16string>& args) {
  if (args.empty()) return -1;
  std::wstring commandLine;
  for (const std::u16string& arg : args) commandLine += (commandLine.empty() ? L"" : L" ") + QuoteArgument(arg);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    return -1;
  }
  const UniqueKernelHandle process(started.hProcess);
  const UniqueKernelHandle thread(started.hThread);
  DWORD exitCode = 0;
  if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 || !GetExitCodeProcess(process.get(), &exitCode)) {
    return -1;
  }
  return static_cast<int>(exitCode & 0x7FFFFFFF);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(AsUtf16(argv[i]));
  Win32ProfileStrings profile;
  CheckEnvironment env{GetUserDefaultUILanguage(), profile, AbsolutePath, RunProgram};
  std::string out, err;
  const int status = RunCheck(args, env, out, err);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fwrite(err.data(), 1, err.size(), stderr);
  return status;
}
