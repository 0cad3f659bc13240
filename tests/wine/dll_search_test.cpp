// System DLLs come from System32 only: a DLL beside the program is found by the default
// search order and by nothing of ours.
#include "platform/win32/dll_search_win32.h"

#include <windows.h>
#include <delayimp.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace {

// Built beside this test program by the tests' CMakeLists.
constexpr wchar_t kPlanted[] = L"tbtfw_planted.dll";

std::wstring ModuleFolder(HMODULE module) {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
  std::wstring full(path, length);
  return full.substr(0, full.rfind(L'\\'));
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH];
  return std::wstring(folder, ::GetSystemDirectoryW(folder, MAX_PATH));
}

TEST(DllSearch, SystemLibrariesComeFromSystem32) {
  for (const wchar_t* name : {L"User32.DLL", L"version.dll", L"gdiplus.dll"}) {
    UniqueLibrary module(LoadSystemLibrary(name));
    ASSERT_TRUE(module) << name;
    EXPECT_EQ(_wcsicmp(ModuleFolder(module.get()).c_str(), SystemFolder().c_str()), 0) << name;
  }
  UniqueLibrary user32(LoadSystemLibrary(L"User32.DLL"));
  EXPECT_NE(::GetProcAddress(user32.get(), "UpdateLayeredWindow"), nullptr);
}

TEST(DllSearch, DelayLoadedDllsComeFromSystem32) {
  // The hook the delay-load helper asks first: a DLL found only beside the program is
  // never loaded; the program's own image comes back, so the helper cannot search.
  DelayLoadInfo info{};
  info.cb = sizeof info;
  info.szDll = "tbtfw_planted.dll";
  EXPECT_EQ(reinterpret_cast<HMODULE>(__pfnDliNotifyHook2(dliNotePreLoadLibrary, &info)), ::GetModuleHandleW(nullptr));
  info.szDll = "version.dll";
  UniqueLibrary version(reinterpret_cast<HMODULE>(__pfnDliNotifyHook2(dliNotePreLoadLibrary, &info)));
  ASSERT_TRUE(version);
  EXPECT_EQ(_wcsicmp(ModuleFolder(version.get()).c_str(), SystemFolder().c_str()), 0);
}

TEST(DllSearch, APlantedCopyIsNeverTaken) {
  // The default order finds the planted DLL in the program's folder...
  {
    UniqueLibrary planted(::LoadLibraryW(kPlanted));
    ASSERT_TRUE(planted) << "the planted DLL is not beside the test program";
  }
  // ...the System32 look-up does not...
  EXPECT_FALSE(UniqueLibrary(LoadSystemLibrary(kPlanted)));
  // ...and after the restriction a load by name does not either, while system DLLs load.
  ASSERT_TRUE(RestrictDllSearchToSystem32());
  EXPECT_FALSE(UniqueLibrary(::LoadLibraryW(kPlanted)));
  EXPECT_TRUE(UniqueLibrary(::LoadLibraryW(L"version.dll")));
  // Give the rest of this test program the usual folders back.
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
}

}  // namespace
