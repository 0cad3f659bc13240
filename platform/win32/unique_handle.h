// Owners for the system's handles: files and searches, whose "empty" value is
// INVALID_HANDLE_VALUE, and the handles whose "empty" value is null.
#pragma once

#include <windows.h>

#include "platform/win32/unique.h"

struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Free(Handle h) { CloseHandle(h); }
};
using UniqueFile = Unique<FileHandleTraits>;

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Free(Handle h) { FindClose(h); }
};
using UniqueFind = Unique<FindHandleTraits>;

// Threads, mutexes, tokens, and the rest whose "empty" value is null.
using UniqueKernelHandle = Unique<HandleTraits<HANDLE, ::CloseHandle>>;
using UniqueLibrary = Unique<HandleTraits<HMODULE, ::FreeLibrary>>;
using UniqueGlobal = Unique<HandleTraits<HGLOBAL, ::GlobalFree>>;
using UniqueService = Unique<HandleTraits<SC_HANDLE, ::CloseServiceHandle>>;
using UniqueHook = Unique<HandleTraits<HHOOK, ::UnhookWindowsHookEx>>;
using UniqueWindow = Unique<HandleTraits<HWND, ::DestroyWindow>>;
using UniqueKey = Unique<HandleTraits<HKEY, ::RegCloseKey>>;
// What the system allocated for us with LocalAlloc: security descriptors, SID strings.
using UniqueLocal = Unique<HandleTraits<HLOCAL, ::LocalFree>>;
using UniqueEventSource = Unique<HandleTraits<HANDLE, ::DeregisterEventSource>>;
using UniqueBoundary = Unique<HandleTraits<HANDLE, ::DeleteBoundaryDescriptor>>;
using UniqueView = Unique<HandleTraits<LPCVOID, ::UnmapViewOfFile>>;
