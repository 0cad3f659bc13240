// exit_code_probe COMMAND...: runs COMMAND (in the current folder), waits for it and
// prints "exit=N windows=W": its whole 32-bit exit code (Wine's own exit status keeps only
// the low 8 bits) and how many visible top-level windows it showed while it ran, sampled
// every 20 ms. Prints "exit=none" when COMMAND cannot be started.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/unique_handle.h"

namespace {

struct Count {
  DWORD process;
  int windows;
};

BOOL CALLBACK CountVisible(HWND window, LPARAM param) {
  auto* count = reinterpret_cast<Count*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == count->process && IsWindowVisible(window)) ++count->windows;
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring command;
  for (int i = 1; i < argc; ++i) command += (i > 1 ? L" " : L"") + std::wstring(argv[i]);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  if (argc < 2 ||
      !CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child)) {
    std::puts("exit=none");
    return 1;
  }
  const UniqueKernelHandle process(child.hProcess);
  const UniqueKernelHandle thread(child.hThread);
  int most = 0;
  while (WaitForSingleObject(process.get(), 20) == WAIT_TIMEOUT) {
    Count count{child.dwProcessId, 0};
    EnumWindows(CountVisible, reinterpret_cast<LPARAM>(&count));
    if (count.windows > most) most = count.windows;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  std::printf("exit=%lu windows=%d\n", static_cast<unsigned long>(code), most);
  return 0;
}
