/* The power-management calls the tool makes, for Wine prefixes whose own powrprof.dll
 * lacks them: a powrprof.dll that keeps the power schemes where Windows keeps them,
 * HKLM\SYSTEM\CurrentControlSet\Control\Power\User\PowerSchemes ("ActivePowerScheme",
 * then SCHEME\SUBGROUP\SETTING with "ACSettingIndex" and "DCSettingIndex"), so a test reads
 * and seeds them with `reg`. Every call is appended to C:\TbtEmulator\out\powrprof-calls.txt.
 * The battery state passes through to the system's own. Installed in a prefix's System32
 * and taken in place of Wine's with WINEDLLOVERRIDES=powrprof=n. Never shipped. */
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

static const wchar_t kSchemes[] = L"SYSTEM\\CurrentControlSet\\Control\\Power\\User\\PowerSchemes";

static void GuidText(const GUID* g, wchar_t* text, size_t capacity) {
  swprintf(text, capacity, L"%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", (unsigned long)g->Data1, g->Data2,
           g->Data3, g->Data4[0], g->Data4[1], g->Data4[2], g->Data4[3], g->Data4[4], g->Data4[5], g->Data4[6],
           g->Data4[7]);
}

static void LogCall(const wchar_t* call, const GUID* setting, DWORD value) {
  wchar_t line[160];
  wchar_t id[40] = L"-";
  if (setting != NULL) GuidText(setting, id, 40);
  swprintf(line, 160, L"%ls %ls %lu\r\n", call, id, (unsigned long)value);
  HANDLE file = CreateFileW(L"C:\\TbtEmulator\\out\\powrprof-calls.txt", FILE_APPEND_DATA, FILE_SHARE_READ, NULL,
                            OPEN_ALWAYS, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  char utf8[160];
  int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, sizeof utf8, NULL, NULL);
  DWORD written = 0;
  if (size > 1) WriteFile(file, utf8, (DWORD)(size - 1), &written, NULL);
  CloseHandle(file);
}

/* The key of one setting: PowerSchemes\SCHEME\SUBGROUP\SETTING. */
static void SettingKey(const GUID* scheme, const GUID* subgroup, const GUID* setting, wchar_t* path, size_t capacity) {
  wchar_t a[40], b[40], c[40];
  GuidText(scheme, a, 40);
  GuidText(subgroup, b, 40);
  GuidText(setting, c, 40);
  swprintf(path, capacity, L"%ls\\%ls\\%ls\\%ls", kSchemes, a, b, c);
}

static DWORD ReadIndex(const GUID* scheme, const GUID* subgroup, const GUID* setting, const wchar_t* name,
                       DWORD* value) {
  if (scheme == NULL || subgroup == NULL || setting == NULL || value == NULL) return ERROR_INVALID_PARAMETER;
  wchar_t path[260];
  SettingKey(scheme, subgroup, setting, path, 260);
  DWORD size = sizeof *value;
  return (DWORD)RegGetValueW(HKEY_LOCAL_MACHINE, path, name, RRF_RT_REG_DWORD, NULL, value, &size);
}

static DWORD WriteIndex(const GUID* scheme, const GUID* subgroup, const GUID* setting, const wchar_t* name,
                        DWORD value) {
  if (scheme == NULL || subgroup == NULL || setting == NULL) return ERROR_INVALID_PARAMETER;
  wchar_t path[260];
  SettingKey(scheme, subgroup, setting, path, 260);
  HKEY key = NULL;
  LSTATUS e = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL);
  if (e != ERROR_SUCCESS) return (DWORD)e;
  e = RegSetValueExW(key, name, 0, REG_DWORD, (const BYTE*)&value, sizeof value);
  RegCloseKey(key);
  return (DWORD)e;
}

DWORD WINAPI PowerGetActiveScheme(HKEY root, GUID** active) {
  (void)root;
  LogCall(L"PowerGetActiveScheme", NULL, 0);
  if (active == NULL) return ERROR_INVALID_PARAMETER;
  wchar_t text[64] = {0};
  DWORD size = sizeof text - sizeof(wchar_t);
  LSTATUS e = RegGetValueW(HKEY_LOCAL_MACHINE, kSchemes, L"ActivePowerScheme", RRF_RT_REG_SZ, NULL, text, &size);
  if (e != ERROR_SUCCESS) return (DWORD)e;
  unsigned long d1;
  unsigned d2, d3, d4[8];
  if (swscanf(text, L"%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x", &d1, &d2, &d3, &d4[0], &d4[1], &d4[2], &d4[3], &d4[4],
              &d4[5], &d4[6], &d4[7]) != 11) {
    return ERROR_INVALID_DATA;
  }
  GUID* guid = (GUID*)LocalAlloc(LPTR, sizeof(GUID));
  if (guid == NULL) return ERROR_NOT_ENOUGH_MEMORY;
  guid->Data1 = d1;
  guid->Data2 = (unsigned short)d2;
  guid->Data3 = (unsigned short)d3;
  for (int i = 0; i < 8; ++i) guid->Data4[i] = (unsigned char)d4[i];
  *active = guid;
  return ERROR_SUCCESS;
}

DWORD WINAPI PowerSetActiveScheme(HKEY root, const GUID* scheme) {
  (void)root;
  LogCall(L"PowerSetActiveScheme", scheme, 0);
  if (scheme == NULL) return ERROR_INVALID_PARAMETER;
  wchar_t text[40];
  GuidText(scheme, text, 40);
  return (DWORD)RegSetKeyValueW(HKEY_LOCAL_MACHINE, kSchemes, L"ActivePowerScheme", REG_SZ, text,
                                (DWORD)((wcslen(text) + 1) * sizeof(wchar_t)));
}

DWORD WINAPI PowerReadACValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                   LPDWORD value) {
  (void)root;
  LogCall(L"PowerReadACValueIndex", setting, 0);
  return ReadIndex(scheme, subgroup, setting, L"ACSettingIndex", value);
}

DWORD WINAPI PowerReadDCValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                   LPDWORD value) {
  (void)root;
  LogCall(L"PowerReadDCValueIndex", setting, 0);
  return ReadIndex(scheme, subgroup, setting, L"DCSettingIndex", value);
}

DWORD WINAPI PowerWriteACValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                    DWORD value) {
  (void)root;
  LogCall(L"PowerWriteACValueIndex", setting, value);
  return WriteIndex(scheme, subgroup, setting, L"ACSettingIndex", value);
}

DWORD WINAPI PowerWriteDCValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                    DWORD value) {
  (void)root;
  LogCall(L"PowerWriteDCValueIndex", setting, value);
  return WriteIndex(scheme, subgroup, setting, L"DCSettingIndex", value);
}

typedef LONG(WINAPI* PowerInformationCall)(int, PVOID, ULONG, PVOID, ULONG);

LONG WINAPI CallNtPowerInformation(int level, PVOID in, ULONG inSize, PVOID out, ULONG outSize) {
  PowerInformationCall call =
      (PowerInformationCall)(void*)GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtPowerInformation");
  return call == NULL ? (LONG)0xC0000002L : call(level, in, inSize, out, outSize);
}
