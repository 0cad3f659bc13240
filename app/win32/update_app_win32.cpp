// The program's start and end: the one application object, GDI+ for the whole process,
// the command line, and the window run modally.
#include <windows.h>

#include <cstdlib>

#include "app/command_line.h"
#include "app/win32/single_instance_win32.h"
#include "app/win32/update_dialog_win32.h"
#include "framework/application.h"
#include "platform/win32/dll_search_win32.h"
#include "platform/win32/wide.h"
#include "skin/win32/gdiplus_session_win32.h"

namespace {

// The name every copy of the tool in a session asks for.
constexpr wchar_t kInstanceName[] = L"Local\\Vanto.TbtFwUpdate.OneCopy";

class UpdateApp final : public Application {
 public:
  LaunchOptions options;

  bool InitInstance() override {
    // Two copies could both press Update and write the controller at once: a second copy
    // shows the first one's window and ends without a window of its own.
    const SingleInstance instance(kInstanceName);
    if (!instance.IsFirst()) {
      BringWindowToFront(WC_DIALOG, kWindowTitle);
      return false;
    }
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

// Constructed in this order and destroyed in the reverse one: GDI+ is shut down once,
// after the window is gone and before the application object goes.
UpdateApp theApp;
GdiplusSession gdiplus;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything loads a DLL by name: a copy planted beside the program is never taken.
  RestrictDllSearchToSystem32();
  return RunApplication(theApp);
}
