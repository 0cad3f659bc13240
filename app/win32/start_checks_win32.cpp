#include "app/win32/start_checks_win32.h"

#include <windows.h>

#include <string>

#include "app/win32/update_dialog_win32.h"
#include "platform/win32/process_guards_win32.h"

namespace {

int policiesOn = 0;
bool dotLocal = false;

constexpr wchar_t kDotLocalMessage[] =
    L"This program does not run while a file or folder named like the program with \".local\" "
    L"added (TbtFwUpdate.exe.local) lies beside it: through it, Windows could load other code "
    L"into the program, which runs with administrator rights. Remove it and start the program "
    L"again. Nothing was changed.";

}  // namespace

void ApplyStartGuards() {
  policiesOn = ApplyProcessMitigations();
  dotLocal = DotLocalBesideProgram();
}

bool StartIsSafe(RunMode mode, RunLog& log) {
  log.Write("process mitigation policies on: " + std::to_string(policiesOn) + " of 2");
  if (!dotLocal) return true;
  log.Write("a \".local\" entry lies beside the program, through which DLLs could be redirected: nothing done");
  if (mode == RunMode::kWindow) MessageBoxW(nullptr, kDotLocalMessage, kWindowTitle, MB_OK | MB_ICONERROR);
  return false;
}
