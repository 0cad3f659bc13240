#include "platform/win32/power_scheme_win32.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/dll_search_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/update_record_win32.h"

namespace {

// The power button and lid subgroup, and its three actions (winnt.h's
// GUID_SYSTEM_BUTTON_SUBGROUP, GUID_LIDCLOSE_ACTION, GUID_POWERBUTTON_ACTION,
// GUID_SLEEPBUTTON_ACTION), spelt out so no import library must define them.
constexpr GUID kButtonSubgroup = {0x4f971e89, 0xeebd, 0x4455, {0xa8, 0xde, 0x9e, 0x59, 0x04, 0x0e, 0x73, 0x47}};
constexpr GUID kButtonActions[3] = {
    {0x5ca83367, 0x6e45, 0x459f, {0xa2, 0x7b, 0x47, 0x6b, 0x1d, 0x01, 0xc9, 0x36}},  // lid closed
    {0x7648efa3, 0xdd9c, 0x4e3e, {0xb5, 0x66, 0x50, 0xf9, 0x29, 0x38, 0x62, 0x80}},  // power button
    {0x96996bc0, 0xad50, 0x47ec, {0x92, 0x3b, 0x6f, 0x41, 0x87, 0x4d, 0xd9, 0xeb}},  // sleep button
};

using GetActiveScheme = DWORD(WINAPI*)(HKEY, GUID**);
using ReadValueIndex = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, LPDWORD);
using WriteValueIndex = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, DWORD);
using SetActiveScheme = DWORD(WINAPI*)(HKEY, const GUID*);

template <typename Function>
Function Find(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

constexpr wchar_t kMarkerValue[] = L"HeldPowerActions";
constexpr DWORD kMarkerSize = 16 + 6 * 4;

GUID AsGuid(const ButtonActions& a) {
  GUID guid{};
  std::memcpy(&guid, a.scheme.data(), sizeof guid);
  return guid;
}

}  // namespace

Win32PowerScheme::Win32PowerScheme() : powrprof_(LoadSystemLibrary(L"powrprof.dll")) {}

bool Win32PowerScheme::Failed(const char* call, unsigned long code) {
  last_.Failed(call, code);
  return false;
}

bool Win32PowerScheme::Read(ButtonActions& actions) {
  if (!powrprof_) return Failed("LoadLibraryExW(powrprof.dll)", GetLastError());
  const auto getActive = Find<GetActiveScheme>(powrprof_.get(), "PowerGetActiveScheme");
  const auto readAc = Find<ReadValueIndex>(powrprof_.get(), "PowerReadACValueIndex");
  const auto readDc = Find<ReadValueIndex>(powrprof_.get(), "PowerReadDCValueIndex");
  if (getActive == nullptr || readAc == nullptr || readDc == nullptr) return Failed("GetProcAddress", GetLastError());
  GUID* active = nullptr;
  if (const DWORD e = getActive(nullptr, &active); e != ERROR_SUCCESS) return Failed("PowerGetActiveScheme", e);
  if (active == nullptr) return Failed("PowerGetActiveScheme", ERROR_INVALID_DATA);
  const UniqueLocal owned(active);
  const GUID scheme = *active;
  std::memcpy(actions.scheme.data(), &scheme, sizeof scheme);
  for (std::size_t i = 0; i < 3; ++i) {
    DWORD ac = 0, dc = 0;
    if (const DWORD e = readAc(nullptr, &scheme, &kButtonSubgroup, &kButtonActions[i], &ac); e != ERROR_SUCCESS) {
      return Failed("PowerReadACValueIndex", e);
    }
    if (const DWORD e = readDc(nullptr, &scheme, &kButtonSubgroup, &kButtonActions[i], &dc); e != ERROR_SUCCESS) {
      return Failed("PowerReadDCValueIndex", e);
    }
    actions.actions[2 * i] = ac;
    actions.actions[2 * i + 1] = dc;
  }
  last_.Succeeded();
  return true;
}

bool Win32PowerScheme::Write(const ButtonActions& actions) {
  if (!powrprof_) return Failed("LoadLibraryExW(powrprof.dll)", GetLastError());
  const auto writeAc = Find<WriteValueIndex>(powrprof_.get(), "PowerWriteACValueIndex");
  const auto writeDc = Find<WriteValueIndex>(powrprof_.get(), "PowerWriteDCValueIndex");
  const auto setActive = Find<SetActiveScheme>(powrprof_.get(), "PowerSetActiveScheme");
  if (writeAc == nullptr || writeDc == nullptr || setActive == nullptr) return Failed("GetProcAddress", GetLastError());
  const GUID scheme = AsGuid(actions);
  for (std::size_t i = 0; i < 3; ++i) {
    if (const DWORD e = writeAc(nullptr, &scheme, &kButtonSubgroup, &kButtonActions[i], actions.actions[2 * i]);
        e != ERROR_SUCCESS) {
      return Failed("PowerWriteACValueIndex", e);
    }
    if (const DWORD e = writeDc(nullptr, &scheme, &kButtonSubgroup, &kButtonActions[i], actions.actions[2 * i + 1]);
        e != ERROR_SUCCESS) {
      return Failed("PowerWriteDCValueIndex", e);
    }
  }
  // A value written to the scheme takes effect when the scheme is applied again.
  if (const DWORD e = setActive(nullptr, &scheme); e != ERROR_SUCCESS) return Failed("PowerSetActiveScheme", e);
  last_.Succeeded();
  return true;
}

bool Win32PowerScheme::SaveMarker(const ButtonActions& before) {
  BYTE marker[kMarkerSize] = {};
  std::memcpy(marker, before.scheme.data(), 16);
  for (std::size_t i = 0; i < 6; ++i) {
    const DWORD v = before.actions[i];
    for (std::size_t b = 0; b < 4; ++b) marker[16 + 4 * i + b] = static_cast<BYTE>(v >> (8 * b));
  }
  UniqueKey key;
  if (const LSTATUS e = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUpdateRecordKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.put(), nullptr);
      e != ERROR_SUCCESS) {
    key.release();
    return Failed("RegCreateKeyExW", static_cast<unsigned long>(e));
  }
  if (const LSTATUS e = RegSetValueExW(key.get(), kMarkerValue, 0, REG_BINARY, marker, kMarkerSize);
      e != ERROR_SUCCESS) {
    return Failed("RegSetValueExW", static_cast<unsigned long>(e));
  }
  // Flushed: a power loss right after the change must still find the marker.
  RegFlushKey(key.get());
  last_.Succeeded();
  return true;
}

MarkerRead Win32PowerScheme::LoadMarker(ButtonActions& before) {
  UniqueKey key;
  const LSTATUS opened =
      RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUpdateRecordKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put());
  if (opened == ERROR_FILE_NOT_FOUND) {
    key.release();
    return MarkerRead::kNone;
  }
  if (opened != ERROR_SUCCESS) {
    key.release();
    return MarkerRead::kUnreadable;
  }
  BYTE marker[kMarkerSize + 1] = {};
  DWORD type = 0, size = sizeof marker;
  const LSTATUS read = RegQueryValueExW(key.get(), kMarkerValue, nullptr, &type, marker, &size);
  if (read == ERROR_FILE_NOT_FOUND) return MarkerRead::kNone;
  if (read != ERROR_SUCCESS || type != REG_BINARY || size != kMarkerSize) return MarkerRead::kUnreadable;
  std::memcpy(before.scheme.data(), marker, 16);
  for (std::size_t i = 0; i < 6; ++i) {
    DWORD v = 0;
    for (std::size_t b = 0; b < 4; ++b) v |= DWORD{marker[16 + 4 * i + b]} << (8 * b);
    before.actions[i] = v;
  }
  return MarkerRead::kRead;
}

bool Win32PowerScheme::ClearMarker() {
  UniqueKey key;
  const LSTATUS opened =
      RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUpdateRecordKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, key.put());
  if (opened == ERROR_FILE_NOT_FOUND) {
    key.release();
    return true;
  }
  if (opened != ERROR_SUCCESS) {
    key.release();
    return Failed("RegOpenKeyExW", static_cast<unsigned long>(opened));
  }
  const LSTATUS deleted = RegDeleteValueW(key.get(), kMarkerValue);
  if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) {
    return Failed("RegDeleteValueW", static_cast<unsigned long>(deleted));
  }
  RegFlushKey(key.get());
  last_.Succeeded();
  return true;
}
