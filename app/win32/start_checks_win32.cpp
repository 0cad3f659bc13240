#include "app/win32/start_checks_win32.h"

#include <windows.h>

#include <string>

#include "app/win32/package_trust_win32.h"
#include "app/win32/update_dialog_win32.h"
#include "platform/win32/process_guards_win32.h"

namespace {

int policiesOn = 0;
bool dotLocal = false;
std::string untrustedPart;  // what of the package others can change, and who

constexpr wchar_t kDotLocalMessage[] =
    L"This program does not run while a file or folder named like the program with \".local\" "
    L"added (TbtFwUpdate.exe.local) lies beside it: through it, Windows could load other code "
    L"into the program, which runs with administrator rights. Remove it and start the program "
    L"again. Nothing was changed.";

// Built in, not from Update.ini: that file may be the very one others can change.
constexpr wchar_t kUntrustedMessage[] =
    L"This program does not run from a folder that others than the administrators can change: "
    L"its files could have been replaced. Copy the package to a folder only administrators can "
    L"change (under Program Files, say) and start it again. Nothing was changed. (0X10430013)";

}  // namespace

void ApplyStartGuards() {
  policiesOn = ApplyProcessMitigations();
  dotLocal = DotLocalBesideProgram();
  if (!dotLocal) untrustedPart = UntrustedPackagePart();
}

std::optional<StatusCode> StartRefusal(RunMode mode, RunLog& log) {
  log.Write("process mitigation policies on: " + std::to_string(policiesOn) + " of 2");
  if (dotLocal) {
    log.Write("a \".local\" entry lies beside the program, through which DLLs could be redirected: nothing done");
    if (mode == RunMode::kWindow) MessageBoxW(nullptr, kDotLocalMessage, kWindowTitle, MB_OK | MB_ICONERROR);
    return TBFW_E_DLL_REDIRECTION;
  }
  if (!untrustedPart.empty()) {
    log.Write("the package is not as the administrators deployed it: " + untrustedPart + ": nothing done");
    if (mode == RunMode::kWindow) MessageBoxW(nullptr, kUntrustedMessage, kWindowTitle, MB_OK | MB_ICONERROR);
    return TBFW_E_PACKAGE_UNTRUSTED;
  }
  return std::nullopt;
}
