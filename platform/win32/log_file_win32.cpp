#include "platform/win32/log_file_win32.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <string_view>

#include "platform/win32/final_path_win32.h"
#include "platform/win32/object_security_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace {

class Win32LogFile final : public LogFile {
 public:
  explicit Win32LogFile(UniqueFile file) : file_(std::move(file)) {}

  bool Append(std::string_view utf8) override {
    // Opened with append rights only: every write lands at the end, even when another
    // program appends to the same file.
    DWORD written = 0;
    return WriteFile(file_.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) != 0 &&
           written == utf8.size();
  }

  LocalTime Now() override {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
  }

 private:
  UniqueFile file_;
};

// Where the folders below the root start: after "X:\", or after "\\server\share\".
std::size_t RootLength(std::wstring_view path) {
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return 3;
  if (path.substr(0, 2) != L"\\\\") return 0;
  std::size_t end = 2;
  for (int part = 0; part < 2 && end != std::wstring_view::npos; ++part) {
    end = path.find(L'\\', end);
    if (end != std::wstring_view::npos) ++end;
  }
  return end == std::wstring_view::npos ? path.size() : end;
}

// Whether a folder on the way to the file is a reparse point. A folder that does not exist
// is none; opening the file then fails by itself.
bool FolderOnPathIsReparsePoint(std::wstring_view full) {
  for (std::size_t end = full.find(L'\\', RootLength(full)); end != std::wstring_view::npos;
       end = full.find(L'\\', end + 1)) {
    const std::wstring folder(full.substr(0, end));
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return true;
  }
  return false;
}

// Whether the handle reaches the very file asked for: its final path, with every link,
// junction and mount point on the way resolved, is the full path given.
bool FinalPathIs(HANDLE file, std::wstring_view full) {
  const std::wstring final = FinalPathOf(file);
  return !final.empty() && SamePath(final, WithoutLongPrefix(full));
}

// Whether an existing file may be appended to by this process: when it runs elevated, only
// a file no one but SYSTEM, the Administrators, TrustedInstaller or the account the program
// runs as can change, by its owner or its list (WhoMayChange): a file a standard user made,
// or may rewrite, is no record an elevated run should append to. The account itself is
// among them for systems whose administrators own what they make (the "object creator"
// default-owner policy).
bool NoOneElseMayChange(HANDLE file) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  const UniqueKernelHandle token(raw);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) return false;
  if (elevation.TokenIsElevated == 0) return true;
  ObjectSecurity security;
  DWORD error = 0;
  return ReadObjectSecurityOf(file, security, error) && WhoMayChange(security, false).empty();
}

// The checks on what the handle reaches; `existed` when the file was there before.
bool Acceptable(HANDLE file, std::wstring_view full, bool existed) {
  // A device name ("NUL", "COM1") opens too, but is no file to keep a log in.
  if (GetFileType(file) != FILE_TYPE_DISK) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info)) return false;
  // Opened without following it, a link is itself a reparse point; a hard link is a
  // second name of a file that lives elsewhere too.
  if ((info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) return false;
  if (info.nNumberOfLinks != 1) return false;
  if (!FinalPathIs(file, full)) return false;
  return !existed || NoOneElseMayChange(file);
}

// Deletes the file the handle reaches, whatever its name is by now: a file made here and
// then refused is not left behind.
void DeleteByHandle(HANDLE file) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

constexpr DWORD kAccess = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | READ_CONTROL;
constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

}  // namespace

std::unique_ptr<LogFile> OpenLogFile(const std::u16string& path) {
  if (path.empty()) return nullptr;
  std::wstring full(MAX_PATH, L'\0');
  DWORD length = GetFullPathNameW(AsWide(path.c_str()), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length + 1);
    length = GetFullPathNameW(AsWide(path.c_str()), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (length == 0 || length >= full.size()) return nullptr;
  full.resize(length);
  if (FolderOnPathIsReparsePoint(WithoutLongPrefix(full))) return nullptr;

  // An existing file is opened as it is; a missing one is made with its own security
  // descriptor. Neither follows a link at the file's own name.
  bool existed = true;
  UniqueFile file(
      CreateFileW(full.c_str(), kAccess, kShare, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file && GetLastError() == ERROR_FILE_NOT_FOUND) {
    // Owner Administrators, and a protected list: full control for SYSTEM and the
    // Administrators, no one else, nothing inherited from the folder.
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)", SDDL_REVISION_1, &raw,
                                                              nullptr)) {
      return nullptr;
    }
    const UniqueLocal descriptor(raw);
    SECURITY_ATTRIBUTES security{sizeof security, raw, FALSE};
    existed = false;
    file = UniqueFile(CreateFileW(full.c_str(), kAccess | DELETE, kShare, &security, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  }
  if (!file) return nullptr;
  if (!Acceptable(file.get(), full, existed)) {
    if (!existed) DeleteByHandle(file.get());
    return nullptr;
  }
  return std::make_unique<Win32LogFile>(std::move(file));
}
