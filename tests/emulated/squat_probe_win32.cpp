// squat_probe MS NAME...: what any program of any user can do to a plain named object:
// creates a mutex under each NAME, holds them for MS milliseconds, then ends. Prints
// "held N" once the N names it could create are held.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "platform/win32/unique_handle.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fputs("usage: squat_probe MS NAME...\n", stderr);
    return 2;
  }
  std::vector<UniqueKernelHandle> held;
  for (int i = 2; i < argc; ++i) {
    UniqueKernelHandle mutex(CreateMutexW(nullptr, TRUE, argv[i]));
    if (mutex) held.push_back(std::move(mutex));
  }
  std::printf("held %u\n", static_cast<unsigned>(held.size()));
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10)));
  return 0;
}
