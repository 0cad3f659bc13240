// Looks at a running program's window from outside, for black-box tests:
//   window_probe wait TITLE MS        until a top-level window titled TITLE exists (exit 1 on time-out)
//   window_probe gone TITLE MS        until it no longer exists
//   window_probe rect TITLE           "x y width height"
//   window_probe list TITLE           one line per child: "id=N visible=0|1 enabled=0|1 text=..."
//   window_probe click TITLE ID       the child ID as if clicked (BN_CLICKED to the window)
//   window_probe escape TITLE         the Escape key, to the window
//   window_probe close TITLE          WM_CLOSE to the window
//   window_probe display TITLE        WM_DISPLAYCHANGE to the window, as after a change of mode
//   window_probe shown TITLE          "1" when the window is visible, else "0"
// Output is UTF-8.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring Text(HWND window) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(window, buffer, 1024);
  return buffer;
}

bool WaitFor(const wchar_t* title, DWORD milliseconds, bool present) {
  const DWORD start = GetTickCount();
  for (;;) {
    if ((FindWindowW(nullptr, title) != nullptr) == present) return true;
    if (GetTickCount() - start > milliseconds) return false;
    Sleep(50);
  }
}

BOOL CALLBACK ListChild(HWND child, LPARAM) {
  const LONG style = GetWindowLongW(child, GWL_STYLE);
  std::printf("id=%d visible=%d enabled=%d text=%s\n", GetDlgCtrlID(child), (style & WS_VISIBLE) ? 1 : 0,
              IsWindowEnabled(child) ? 1 : 0, Utf8(Text(child)).c_str());
  return TRUE;
}

int Usage() {
  std::fputs("usage: window_probe wait|gone TITLE MS | rect|list|escape|close|display|shown TITLE | click TITLE ID\n", stderr);
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const std::wstring command = argv[1];
  const wchar_t* title = argv[2];
  if (command == L"wait" || command == L"gone") {
    if (argc < 4) return Usage();
    return WaitFor(title, static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)), command == L"wait") ? 0 : 1;
  }
  const HWND window = FindWindowW(nullptr, title);
  if (window == nullptr) {
    std::fputs("window_probe: no such window\n", stderr);
    return 1;
  }
  if (command == L"rect") {
    RECT r{};
    GetWindowRect(window, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  } else if (command == L"list") {
    EnumChildWindows(window, ListChild, 0);
  } else if (command == L"click" && argc >= 4) {
    const int id = static_cast<int>(std::wcstol(argv[3], nullptr, 10));
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
  } else if (command == L"escape") {
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageW(window, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
  } else if (command == L"close") {
    PostMessageW(window, WM_CLOSE, 0, 0);
  } else if (command == L"display") {
    // Sent, so the window has handled it when the probe returns.
    SendMessageW(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
  } else if (command == L"shown") {
    std::printf("%d\n", IsWindowVisible(window) ? 1 : 0);
  } else {
    return Usage();
  }
  std::fflush(stdout);
  return 0;
}
