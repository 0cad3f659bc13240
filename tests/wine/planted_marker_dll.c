/* A DLL planted beside a program under a system DLL's name. Loaded, it leaves the marker
 * file "planted.ran" in its folder and ends the process at once, as a planted copy
 * running as the program could. It exports the names the control probe
 * imports from each DLL it stands for, so the loader can bind them. */
#include <windows.h>

__declspec(dllexport) int CallNtPowerInformation(void) { return 0; }
__declspec(dllexport) int GdiplusStartup(void) { return 0; }
__declspec(dllexport) int InitCommonControls(void) { return 0; }

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  WCHAR path[MAX_PATH + 16];
  DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
  if (length >= MAX_PATH) length = 0;
  while (length > 0 && path[length - 1] != L'\\') --length;
  lstrcpyW(path + length, L"planted.ran");
  HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  TerminateProcess(GetCurrentProcess(), 86);
  return FALSE;
}
