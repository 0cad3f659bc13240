// Looks at a running program's window from outside, for black-box tests. Clicks and keys
// go through the X server as a person's would (tests/lib/tool_session.sh); the probe reads state
// and sends only what the system itself sends:
//   window_probe wait TITLE MS        until a top-level window titled TITLE exists (exit 1 on time-out)
//   window_probe gone TITLE MS        until it no longer exists
//   window_probe rect TITLE [ID]      "x y width height" on the screen, of the window or of its child ID
//   window_probe list TITLE           one line per child: "id=N visible=0|1 enabled=0|1 text=..."
//   window_probe count TITLE          how many top-level windows are titled TITLE
//   window_probe front TITLE          "1" when the window is the foreground window, else "0"
//   window_probe shown TITLE          "1" when the window is visible, else "0"
//   window_probe close TITLE          WM_CLOSE to the window
//   window_probe display TITLE        WM_DISPLAYCHANGE to the window, as after a change of mode
//   window_probe query-end TITLE      WM_QUERYENDSESSION sent to the window: its answer, "1" (may
//                                     end) or "0" (refuses); exit 1 when it does not answer in 5 s
//   window_probe suspend TITLE        WM_POWERBROADCAST(PBT_APMSUSPEND) sent to the window, as the
//                                     system sends it before a sleep it will not be refused
// Output is UTF-8.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
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

struct Count {
  const wchar_t* title;
  int windows;
};

BOOL CALLBACK CountTitled(HWND window, LPARAM countPointer) {
  auto* count = reinterpret_cast<Count*>(countPointer);
  if (Text(window) == count->title) ++count->windows;
  return TRUE;
}

int Usage() {
  std::fputs(
      "usage: window_probe wait|gone TITLE MS | rect TITLE [ID] | list|count|front|shown|close|display|query-end "
      "TITLE\n",
      stderr);
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
    const HWND target = argc >= 4 ? GetDlgItem(window, static_cast<int>(std::wcstol(argv[3], nullptr, 10))) : window;
    RECT r{};
    if (target == nullptr || !GetWindowRect(target, &r)) return 1;
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  } else if (command == L"list") {
    EnumChildWindows(window, ListChild, 0);
  } else if (command == L"count") {
    Count count{title, 0};
    EnumWindows(CountTitled, reinterpret_cast<LPARAM>(&count));
    std::printf("%d\n", count.windows);
  } else if (command == L"front") {
    std::printf("%d\n", GetForegroundWindow() == window ? 1 : 0);
  } else if (command == L"query-end") {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer)) return 1;
    std::printf("%d\n", answer ? 1 : 0);
  } else if (command == L"suspend") {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, WM_POWERBROADCAST, PBT_APMSUSPEND, 0, SMTO_ABORTIFHUNG, 5000, &answer)) return 1;
  } else if (command == L"close") {
    PostMessageW(window, WM_CLOSE, 0, 0);
  } else if (command == L"display") {
    // Sent, so the window has handled it when the probe returns.
    SendMessageW(window, WM_DISPLAYCHANGE, 32,
                 MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
  } else if (command == L"shown") {
    std::printf("%d\n", IsWindowVisible(window) ? 1 : 0);
  } else {
    return Usage();
  }
  std::fflush(stdout);
  return 0;
}
