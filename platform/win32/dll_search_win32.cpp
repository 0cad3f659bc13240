#include "platform/win32/dll_search_win32.h"

#include <delayimp.h>

#include <string>

#include "platform/win32/process_guards_win32.h"

namespace {

// SetDefaultDllDirectories and the LOAD_LIBRARY_SEARCH_* flags came with the same loader
// update (built into Windows 8, an update for Windows 7): where the one is exported, the
// others are understood. Looked up at run time: a static import of it would keep the
// program from starting on a Windows 7 without that update. Kernel32 is mapped into every
// process.
FARPROC SetDefaultDllDirectoriesEntry() {
  return ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
}

// The delay-load helper asks this hook before it loads a delay-imported DLL (GDI+) by
// name: the DLL is taken from System32 instead. When System32 has no copy the program's
// own image is handed back, so the helper never searches for the DLL itself; the first
// call into it then fails to resolve and raises the delay-load failure.
FARPROC WINAPI LoadDelayedFromSystem32(unsigned notify, PDelayLoadInfo info) {
  if (notify != dliNotePreLoadLibrary || info == nullptr || info->szDll == nullptr) return nullptr;
  // DLL names in an import table are ASCII.
  const std::string ascii(info->szDll);
  const std::wstring name(ascii.begin(), ascii.end());
  HMODULE module = LoadSystemLibrary(name.c_str());
  if (module == nullptr) module = ::GetModuleHandleW(nullptr);
  return reinterpret_cast<FARPROC>(module);
}

}  // namespace

// Read by the runtime's delay-load helper (declared extern "C" by <delayimp.h>); defined
// here, it replaces the runtime's empty default in every program that links this file.
PfnDliHook __pfnDliNotifyHook2 = LoadDelayedFromSystem32;  // NOLINT(bugprone-reserved-identifier)

bool RestrictDllSearchToSystem32() {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  auto setDefault =
      reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(SetDefaultDllDirectoriesEntry()));
  if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return true;
  ::SetDllDirectoryW(L"");
  return false;
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  // A ".local" beside the program redirects every load, whatever the search: one made
  // while the program runs is seen here, at each load, and nothing more is loaded.
  if (DotLocalBesideProgram()) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  // The loader searches System32 alone, for the DLL and for everything it imports.
  if (SetDefaultDllDirectoriesEntry() != nullptr) {
    return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  wchar_t folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path(folder, length);
  path += L'\\';
  path += name;
  // By its full path; the DLL's own imports are resolved from its folder, System32, too.
  return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
