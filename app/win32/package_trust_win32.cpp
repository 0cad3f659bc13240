#include "app/win32/package_trust_win32.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "app/log_text.h"
#include "common/profile_reader.h"
#include "common/program_folder.h"
#include "common/sha256.h"
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

// The texts' digest a pinned program carries; empty when it is not pinned to texts.
std::optional<std::string> PinnedTextsDigest() {
  const HRSRC found = FindResourceW(nullptr, L"PINNED_TEXTS_SHA256", RT_RCDATA);
  if (found == nullptr) return std::nullopt;
  const HGLOBAL loaded = LoadResource(nullptr, found);
  const void* digest = loaded != nullptr ? LockResource(loaded) : nullptr;
  constexpr DWORD kDigits = 64;
  // Pinned, but the pin cannot be read: a digest no file has.
  if (digest == nullptr || SizeofResource(nullptr, found) != kDigits) return std::string();
  return std::string(static_cast<const char*>(digest), kDigits);
}

// The SHA-256 of the file, read whole; empty when it cannot be, or is larger than any
// texts file the tool reads.
std::string FileDigest(const std::wstring& path) {
  const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      static_cast<std::uintmax_t>(size.QuadPart) > kLargestProfileFile) {
    return {};
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())) {
    return {};
  }
  return Sha256Hex(bytes);
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
  // A program pinned to its texts runs with those alone: what a failure or success says
  // is then the maker's, as signed.
  if (const std::optional<std::string> pinned = PinnedTextsDigest()) {
    const std::wstring texts = std::wstring(AsWide(DataFolderBeside(program).c_str())) + L"\\Update.ini";
    if (FileDigest(texts) != *pinned) return ForLog(texts) + ": not the texts this program is pinned to";
  }
  return {};
}
