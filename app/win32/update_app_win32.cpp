// The program's start and end: the one application object, GDI+ for the whole process,
// the command line, and the window run modally.
#include <windows.h>

#include <cstdlib>

#include "app/command_line.h"
#include "app/win32/update_dialog_win32.h"
#include "framework/application.h"
#include "platform/win32/dll_search_win32.h"
#include "platform/win32/wide.h"
#include "skin/win32/gdiplus_session_win32.h"

namespace {

class UpdateApp final : public Application {
 public:
  LaunchOptions options;

  bool InitInstance() override {
    // Started here, after the DLL search is restricted, so GDI+ (delay-loaded) comes from
    // System32; shut down once, after the window is gone.
    const GdiplusSession gdiplus;
    options.downgradable = 0;
    options.language = GetUserDefaultUILanguage();
    ParseCommandLine(__argc, reinterpret_cast<const char16_t* const*>(__wargv), options);
    UpdateDialog dialog(nullptr);
    dialog.m_bDowngradable = options.downgradable;
    dialog.m_wLanguage = options.language;
    dialog.DoModal();
    // No message loop of its own: the process ends when the window has closed.
    return false;
  }
};

UpdateApp theApp;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything loads a DLL by name: a copy planted beside the program is never taken.
  RestrictDllSearchToSystem32();
  return RunApplication(theApp);
}
