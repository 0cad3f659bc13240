// hold_file reader|writer MS PATH: what another program does to an image while the tool
// runs: opens PATH to read it, shared with readers and writers (a virus scanner, a user
// viewing it), or to write it, shared with readers only; holds it for MS milliseconds,
// then ends. Prints "held" once it holds the file, "not held ERROR" when it cannot.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "platform/win32/unique_handle.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 4 || (std::wcscmp(argv[1], L"reader") != 0 && std::wcscmp(argv[1], L"writer") != 0)) {
    std::fputs("usage: hold_file reader|writer MS PATH\n", stderr);
    return 2;
  }
  const bool reader = std::wcscmp(argv[1], L"reader") == 0;
  const UniqueFile file(CreateFileW(argv[3], reader ? GENERIC_READ : GENERIC_WRITE,
                                    reader ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    std::printf("not held %lu\n", GetLastError());
    return 1;
  }
  std::puts("held");
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
  return 0;
}
