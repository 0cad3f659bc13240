// Owners for kernel handles: files and searches, whose "empty" value is
// INVALID_HANDLE_VALUE, and the other kernel objects, whose "empty" value is null.
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

// Owner for kernel object handles whose "empty" value is null: threads, mutexes, tokens.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Empty() { return nullptr; }
  static void Free(Handle h) { CloseHandle(h); }
};
using UniqueKernelHandle = Unique<KernelHandleTraits>;
