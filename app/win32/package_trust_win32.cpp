#include "app/win32/package_trust_win32.h"

#include <windows.h>

#include <vector>

#include "app/log_text.h"
#include "common/program_folder.h"
#include "platform/object_security.h"
#include "platform/win32/module_path_win32.h"
#include "platform/win32/object_security_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace {

struct PackagePart {
  std::wstring path;
  bool folder;
};

// The program's folder, "data", "data\Update.ini" and each "data\*.bin" the run could
// take (every entry the search gives; the worker's own rules pass over some of them).
std::vector<PackagePart> PackageParts(const std::u16string& program) {
  const std::u16string data = DataFolderBeside(program);
  const std::u16string folder = data.substr(0, data.size() - 5);
  std::vector<PackagePart> parts{
      {AsWide(folder.c_str()), true}, {AsWide(data.c_str()), true}, {AsWide((data + u"\\Update.ini").c_str()), false}};
  WIN32_FIND_DATAW entry{};
  const UniqueFind search(FindFirstFileExW(AsWide((data + u"\\*.bin").c_str()), FindExInfoBasic, &entry,
                                           FindExSearchNameMatch, nullptr, 0));
  if (!search) return parts;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    parts.push_back({std::wstring(AsWide(data.c_str())) + L"\\" + entry.cFileName, false});
  } while (FindNextFileW(search.get(), &entry));
  return parts;
}

// The path comes from outside (the folder's name, an image's): escaped for the log.
std::string ForLog(const std::wstring& path) {
  return LogText(std::u16string_view(reinterpret_cast<const char16_t*>(path.data()), path.size()));
}

}  // namespace

std::string UntrustedPackagePart() {
  const std::u16string program = ModulePath();
  if (program.empty()) return "the program's own path cannot be had";
  for (const PackagePart& part : PackageParts(program)) {
    ObjectSecurity security;
    DWORD error = 0;
    if (!ReadObjectSecurity(part.path, security, error)) {
      if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) continue;
      return ForLog(part.path) + ": its access list cannot be read (system error " + std::to_string(error) + ")";
    }
    if (std::string who = WhoMayChange(security, part.folder); !who.empty()) return ForLog(part.path) + ": " + who;
  }
  return {};
}
