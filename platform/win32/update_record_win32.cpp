#include "platform/win32/update_record_win32.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace {

bool SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
  const std::size_t bytes = (value.size() + 1) * sizeof(wchar_t);
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(bytes)) == ERROR_SUCCESS;
}

template <typename T>
bool SetNumber(HKEY key, const wchar_t* name, DWORD type, T value) {
  return RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(&value), sizeof value) == ERROR_SUCCESS;
}

// The time the system started, as a FILETIME count: now less the time it has run.
ULONGLONG BootTime() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const ULONGLONG nowTicks = (ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime;
  return nowTicks - GetTickCount64() * 10000;
}

// The DWORD or QWORD value `name`, when it is one of exactly that size.
template <typename T>
bool GetNumber(HKEY key, const wchar_t* name, DWORD expectedType, T& value) {
  DWORD type = 0, size = sizeof value;
  return RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
         type == expectedType && size == sizeof value;
}

// A string of 64 hexadecimal digits, as the record stores a digest.
bool GetDigest(HKEY key, const wchar_t* name, std::string& digest) {
  wchar_t text[72] = {};
  DWORD type = 0, size = sizeof text - sizeof(wchar_t);
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return false;
  }
  digest.clear();
  for (const wchar_t* c = text; *c != L'\0'; ++c) {
    const bool hex = (*c >= L'0' && *c <= L'9') || (*c >= L'a' && *c <= L'f');
    if (!hex) return false;
    digest += static_cast<char>(*c);
  }
  return digest.size() == 64;
}

// The record's key, opened (made when missing) for setting values.
UniqueKey OpenForWriting() {
  UniqueKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUpdateRecordKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
    key.reset();
  }
  return key;
}

// The present time as the record writes it, "YYYY-MM-DDTHH:MM:SSZ".
std::wstring UtcStamp() {
  SYSTEMTIME t{};
  GetSystemTime(&t);
  wchar_t stamp[32];
  std::swprintf(stamp, 32, L"%04u-%02u-%02uT%02u:%02u:%02uZ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  return stamp;
}

std::wstring Widened(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

constexpr ULONGLONG kSameBootSlack = 2ull * 60 * 10000000;  // two minutes in FILETIME units

}  // namespace

RecordRead Win32UpdateRecord::Load(RecordedImage& recorded) {
  UniqueKey key;
  const LSTATUS opened =
      RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUpdateRecordKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put());
  if (opened == ERROR_FILE_NOT_FOUND) return RecordRead::kNone;
  if (opened != ERROR_SUCCESS) return RecordRead::kUnreadable;
  // The key also holds the last attempt: without any value of a write, no write is recorded.
  bool anyWriteValue = false;
  for (const wchar_t* name : {L"NvmVersion", L"ImageSha256", L"WrittenBoot"}) {
    anyWriteValue =
        anyWriteValue || RegQueryValueExW(key.get(), name, nullptr, nullptr, nullptr, nullptr) != ERROR_FILE_NOT_FOUND;
  }
  if (!anyWriteValue) return RecordRead::kNone;
  DWORD version = 0;
  ULONGLONG boot = 0;
  if (!GetNumber(key.get(), L"NvmVersion", REG_DWORD, version) ||
      !GetDigest(key.get(), L"ImageSha256", recorded.sha256) ||
      !GetNumber(key.get(), L"WrittenBoot", REG_QWORD, boot)) {
    return RecordRead::kUnreadable;
  }
  recorded.nvmVersion = version;
  const ULONGLONG now = BootTime();
  recorded.thisBoot = (now > boot ? now - boot : boot - now) < kSameBootSlack;
  return RecordRead::kRead;
}

bool Win32UpdateRecord::Save(const WrittenImage& written) {
  const UniqueKey key = OpenForWriting();
  if (!key) return false;
  const std::wstring stamp = UtcStamp();
  const std::wstring sha = Widened(written.sha256);
  const std::wstring id(AsWide(written.controllerId.c_str()), written.controllerId.size());
  // Every value, each one replaced: a record never mixes two writes' facts unless a value
  // fails to be stored, which the caller is told of.
  bool ok = SetNumber(key.get(), L"NvmVersion", REG_DWORD, DWORD{written.nvmVersion});
  ok = SetString(key.get(), L"ImageSha256", sha) && ok;
  ok = SetString(key.get(), L"ControllerId", id) && ok;
  ok = SetString(key.get(), L"WrittenUtc", stamp) && ok;
  ok = SetNumber(key.get(), L"WrittenBoot", REG_QWORD, BootTime()) && ok;
  ok = SetString(key.get(), L"Activation", Widened(kPending)) && ok;
  return ok;
}

bool Win32UpdateRecord::SaveAttempt(const AttemptedImage& attempt) {
  const UniqueKey key = OpenForWriting();
  if (!key) return false;
  bool ok = SetString(key.get(), L"LastAttemptUtc", UtcStamp());
  ok = SetNumber(key.get(), L"LastAttemptVersion", REG_DWORD, DWORD{attempt.nvmVersion}) && ok;
  ok = SetString(key.get(), L"LastAttemptSha256", Widened(attempt.sha256)) && ok;
  ok = SetNumber(key.get(), L"LastAttemptStatus", REG_DWORD, DWORD{attempt.status}) && ok;
  ok = SetString(key.get(), L"LastAttemptOutcome", Widened(attempt.outcome)) && ok;
  return ok;
}

bool Win32UpdateRecord::MarkActivation(const char* activation) {
  const UniqueKey key = OpenForWriting();
  return key && SetString(key.get(), L"Activation", Widened(activation));
}
