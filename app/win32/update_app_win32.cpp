// The program's start and end: the one application object, GDI+ for the whole process,
// the command line, and either the window run modally or an unattended run; the exit code
// tells deployment systems how it went.
#include <windows.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <optional>

#include "app/command_line.h"
#include "app/exit_code.h"
#include "app/run_log.h"
#include "app/sleep_hold.h"
#include "app/status_message.h"
#include "app/unattended_run.h"
#include "app/usage.h"
#include "app/win32/run_event_win32.h"
#include "app/win32/shutdown_win32.h"
#include "app/win32/single_instance_win32.h"
#include "app/win32/start_checks_win32.h"
#include "app/win32/unattended_busy_win32.h"
#include "app/win32/update_dialog_win32.h"
#include "app/win32/update_preconditions_win32.h"
#include "platform/win32/device_io_win32.h"
#include "platform/win32/service_manager_win32.h"
#include "platform/win32/worker_platform_win32.h"
#include "app/win32/system_worker_win32.h"
#include "app_version.h"
#include "framework/win32/application.h"
#include "platform/win32/dll_search_win32.h"
#include "platform/win32/log_file_win32.h"
#include "platform/win32/power_scheme_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"
#include "skin/win32/gdiplus_session_win32.h"
#include "skin/win32/localized_text_win32.h"

namespace {

// "/?": on the console the program was started from, otherwise in a message box.
void ShowUsage() {
  if (AttachConsole(ATTACH_PARENT_PROCESS)) {
    UniqueFile console(CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD written = 0;
    if (console && WriteConsoleW(console.get(), AsWide(kUsageText), static_cast<DWORD>(std::size(kUsageText) - 1),
                                 &written, nullptr)) {
      return;
    }
  }
  MessageBoxW(nullptr, AsWide(kUsageText), kWindowTitle, MB_OK | MB_ICONINFORMATION);
}

// The computer's power-off for /silent /shutdown; there is no window to close.
class UnattendedSession final : public SessionControl {
 public:
  explicit UnattendedSession(RunLog& log) : log_(log) {}
  std::uint32_t RequestPowerOff() override {
    const DWORD result = RequestUnattendedPowerOff();
    log_.Write("InitiateShutdownW(power-off, planned software upgrade): " + Hex32(result));
    return result;
  }
  void PostClose() override {}

 private:
  RunLog& log_;
};

class UpdateApp final : public Application {
 public:
  RunRequest request;

  bool InitInstance() override {
    request.downgradable = false;
    request.language = GetUserDefaultUILanguage();
    const bool wellFormed = ParseCommandLine(__argc, reinterpret_cast<const char16_t* const*>(__wargv), request);
    std::unique_ptr<LogFile> file;
    if (wellFormed && request.KeepsLog()) file = OpenLogFile(request.logPath);
    if (!wellFormed || (request.KeepsLog() && !file)) {
      exitCode_ = ExitCodeFor({request.mode, RunEnd::kBadSwitch});
      return false;
    }
    if (request.mode == RunMode::kHelp) {
      ShowUsage();
      return false;
    }
    RunLog log(file.get());
    log.Start(TBTFW_VERSION_STRING, AsUtf16(GetCommandLineW()));
    if (const std::optional<StatusCode> refusal = StartRefusal(request.mode, log)) {
      exitCode_ = ExitCodeFor({request.mode, RunEnd::kFinished, *refusal});
      log.Status(*refusal, BuiltInMessage(*refusal));
      log.ExitCode(exitCode_);
      return false;
    }
    // Started once the start checks passed, and after the DLL search is restricted, so GDI+
    // (delay-loaded) is loaded only then and from System32; shut down once, after the
    // window is gone.
    const GdiplusSession gdiplus;
    // Two copies could both update and write the controller at once: a second copy, with a
    // window or without, leaves the work to the first (and shows its window, if it has one).
    const SingleInstance instance;
    log.Write(std::string("one-writer guard in ") + instance.Where() +
              (instance.IsFirst() ? ": taken" : ": held elsewhere"));
    if (!instance.IsFirst()) {
      if (request.mode == RunMode::kWindow) BringWindowToFront(instance.HolderProcessId(), WC_DIALOG);
      log.Write("another copy of the tool is running");
      exitCode_ = ExitCodeFor({request.mode, RunEnd::kAnotherCopy});
      log.ExitCode(exitCode_);
      return false;
    }
    // Only the copy that holds the guard may touch the scheme: another copy's write may
    // hold it right now. A run that died mid-write left its lid and button actions changed.
    {
      Win32PowerScheme scheme;
      RestoreLeftScheme(scheme, log);
    }
    const RunOutcome outcome = request.mode == RunMode::kWindow ? RunWindow(log) : RunUnattended(log);
    exitCode_ = ExitCodeFor(outcome);
    if (outcome.end == RunEnd::kFinished) log.Status(outcome.status, BuiltInMessage(outcome.status));
    // One Application event per run, for fleets that collect that log; a failure to
    // report it changes nothing of the outcome.
    if (!ReportRunEvent(RunEventFor(outcome, exitCode_, log.ChosenImageSha()))) {
      log.Write("the run's event could not be reported to the Application log");
    }
    log.ExitCode(exitCode_);
    // No message loop of its own: the process ends when the run has.
    return false;
  }

  int ExitInstance() override { return exitCode_; }

 private:
  RunOutcome RunWindow(RunLog& log) {
    UpdateDialog dialog(request, nullptr);
    dialog.SetWorkerEvents(&log);
    dialog.DoModal();
    return dialog.Outcome();
  }

  RunOutcome RunUnattended(RunLog& log) {
    // Opened by the checks, used by the procedure, closed when this run ends.
    Win32DeviceIo deviceIo;
    AcpiDevice acpi(deviceIo);
    SystemPreconditions preconditions(acpi);
    SystemWorkerEnvironment worker(acpi);
    UnattendedSession session(log);
    UnattendedBusyHold busy(&log);
    const std::uint16_t language = request.language;
    UnattendedEnvironment env{preconditions, worker.get(), session, busy,
                              [language](const char16_t* key, char16_t* buffer, std::size_t capacity) {
                                LoadLocalizedText(language, key, buffer, capacity);
                              }};
    return ::RunUnattended(request, env, log);
  }

  int exitCode_ = kExitSuccess;
};

UpdateApp theApp;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything loads a DLL by name: a copy planted beside the program is never taken.
  RestrictDllSearchToSystem32();
  ApplyStartGuards();
  return RunApplication(theApp);
}
