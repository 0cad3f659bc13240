// tbtfw-check on Windows: wide arguments, the system's profile functions (so the texts are
// read exactly as the tool reads them) and the user's user-interface language. Output is
// UTF-8 bytes, whatever the console's code page.
#include <windows.h>

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <optional>
#include <string>
#include <vector>

#include "common/program_folder.h"
#include "platform/win32/profile_strings_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"
#include "tools/tbtfw-check/check_command.h"
#include "tools/tbtfw-check/program_search.h"

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
  // By its absolute path, from PATH's absolute folders only: CreateProcessW would look in
  // the program's own folder and the current one first.
  std::array<wchar_t, 32767> searchPath{};
  const DWORD length = GetEnvironmentVariableW(L"PATH", searchPath.data(), static_cast<DWORD>(searchPath.size()));
  if (length == 0 || length >= searchPath.size()) return -1;
  const std::optional<std::u16string> program = FindOnSearchPath(
      args[0] + u".exe", AsUtf16(searchPath.data()), u';', u'\\',
      [](std::u16string_view folder) {
        return (folder.size() >= 3 && folder[1] == u':' && (folder[2] == u'\\' || folder[2] == u'/')) ||
               (folder.size() >= 2 && folder[0] == u'\\' && folder[1] == u'\\');
      },
      [](const std::u16string& path) {
        const DWORD attributes = GetFileAttributesW(AsWide(path.c_str()));
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
      });
  if (!program) return -1;
  std::wstring commandLine;
  for (const std::u16string& arg : args) commandLine += (commandLine.empty() ? L"" : L" ") + QuoteArgument(arg);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(AsWide(program->c_str()), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
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

// A new file only: CREATE_NEW refuses anything at the name, a link too.
bool WriteNewFile(const std::u16string& path, const std::string& bytes) {
  const UniqueFile file(CreateFileW(AsWide(path.c_str()), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(AsUtf16(argv[i]));
  Win32ProfileStrings profile;
  CheckEnvironment env{GetUserDefaultUILanguage(), profile, AbsolutePath, RunProgram, WriteNewFile};
  std::string out, err;
  const int status = RunCheck(args, env, out, err);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fwrite(err.data(), 1, err.size(), stderr);
  return status;
}
