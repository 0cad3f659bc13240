#include "platform/win32/log_file_win32.h"

#include <windows.h>

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

}  // namespace

std::unique_ptr<LogFile> OpenLogFile(const std::u16string& path) {
  if (path.empty()) return nullptr;
  UniqueFile file(CreateFileW(AsWide(path.c_str()), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  // A device name ("NUL", "COM1") opens too, but is no file to keep a log in.
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return nullptr;
  return std::make_unique<Win32LogFile>(std::move(file));
}
