#include "framework/win32/application.h"

#include <windows.h>

int RunApplication(Application& app) {
  if (app.InitInstance()) {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  return app.ExitInstance();
}
