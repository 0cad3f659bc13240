#include "platform/win32/update_record_win32.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/unique.h"
#include "platform/win32/wide.h"

namespace {

using UniqueKey = Unique<HandleTraits<HKEY, ::RegCloseKey>>;

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

}  // namespace

bool Win32UpdateRecord::Save(const WrittenImage& written) {
  UniqueKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUpdateRecordKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  SYSTEMTIME t{};
  GetSystemTime(&t);
  wchar_t stamp[32];
  std::swprintf(stamp, 32, L"%04u-%02u-%02uT%02u:%02u:%02uZ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  const std::wstring sha(written.sha256.begin(), written.sha256.end());
  const std::wstring id(AsWide(written.controllerId.c_str()), written.controllerId.size());
  // Every value, each one replaced: a record never mixes two writes' facts unless a value
  // fails to be stored, which the caller is told of.
  bool ok = SetNumber(key.get(), L"NvmVersion", REG_DWORD, DWORD{written.nvmVersion});
  ok = SetString(key.get(), L"ImageSha256", sha) && ok;
  ok = SetString(key.get(), L"ControllerId", id) && ok;
  ok = SetString(key.get(), L"WrittenUtc", stamp) && ok;
  ok = SetNumber(key.get(), L"WrittenBoot", REG_QWORD, BootTime()) && ok;
  return ok;
}
