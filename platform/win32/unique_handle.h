// Owners for file and search handles, whose "empty" value is INVALID_HANDLE_VALUE.
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
