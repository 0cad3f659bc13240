// Reads a program's window as a screen reader does, from outside, through MSAA:
//   msaa_probe read TITLE            the window's name, then one line per child:
//                                    "id=N role=0xR state=0xS action=A name=..."
//   msaa_probe listen TITLE MS FILE  listens as a screen reader does: one out-of-context hook
//                                    over every event of every process, writes FILE once
//                                    listening, prints "event=0xE id=N" for each event of
//                                    the window's controls, and ends once one control has
//                                    raised both a live-region change and an alert, or
//                                    after MS milliseconds (exit 1)
//   msaa_probe focus TITLE           the control of the window that has the keyboard focus
//                                    and where its accessible object says it is on the
//                                    screen: "id=N X Y W H"
//   msaa_probe high-contrast on|off  turns the system's high contrast on or off for the
//                                    session, telling every window
//   msaa_probe keyboard-cues on|off  shows focus rings and access keys always, or (as a new
//                                    Windows does) only once a key is used
//   msaa_probe scheme                the system colours a high-contrast window is drawn in,
//                                    one "#RRGGBB" a line
// Output is UTF-8.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD kLiveRegionChanged = 0x8019;

std::string Utf8(const wchar_t* text) {
  if (text == nullptr || *text == L'\0') return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(size) - 1);
  return out;
}

// An interface pointer released when dropped.
template <typename T>
struct Held {
  T* p = nullptr;
  ~Held() {
    if (p != nullptr) p->Release();
  }
};

// A BSTR freed when dropped.
struct HeldText {
  BSTR s = nullptr;
  ~HeldText() { SysFreeString(s); }
};

VARIANT Self() {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = CHILDID_SELF;
  return v;
}

long Number(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
  VARIANT out;
  VariantInit(&out);
  if (FAILED((object->*get)(Self(), &out)) || out.vt != VT_I4) return -1;
  return out.lVal;
}

std::string Words(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
  HeldText text;
  if (FAILED((object->*get)(Self(), &text.s))) return {};
  return Utf8(text.s);
}

BOOL CALLBACK ReadChild(HWND child, LPARAM) {
  Held<IAccessible> object;
  if (FAILED(AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&object.p)))) {
    std::printf("id=%d unreadable\n", GetDlgCtrlID(child));
    return TRUE;
  }
  std::printf("id=%d role=0x%lx state=0x%lx action=%s name=%s\n", GetDlgCtrlID(child),
              Number(object.p, &IAccessible::get_accRole), Number(object.p, &IAccessible::get_accState),
              Words(object.p, &IAccessible::get_accDefaultAction).c_str(),
              Words(object.p, &IAccessible::get_accName).c_str());
  return TRUE;
}

HWND listenedWindow = nullptr;
HWND liveRegionFrom = nullptr, alertFrom = nullptr;
bool announced = false;

// Every event, from every process: a screen reader filters by where it comes from, here
// the listened window's controls.
void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG, DWORD, DWORD) {
  if (object != OBJID_CLIENT || window == nullptr || window == listenedWindow) return;
  if (GetAncestor(window, GA_ROOT) != listenedWindow) return;
  std::printf("event=0x%lx id=%d\n", event, GetDlgCtrlID(window));
  std::fflush(stdout);
  if (event == kLiveRegionChanged) liveRegionFrom = window;
  if (event == EVENT_SYSTEM_ALERT) alertFrom = window;
  if (liveRegionFrom != nullptr && liveRegionFrom == alertFrom) announced = true;
}

int Listen(HWND window, DWORD milliseconds, const wchar_t* readyFile) {
  listenedWindow = window;
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, OnEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
  if (hook == nullptr) return 2;
  if (FILE* ready = _wfopen(readyFile, L"w")) std::fclose(ready);
  const DWORD start = GetTickCount();
  while (!announced) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= milliseconds) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - spent, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  UnhookWinEvent(hook);
  return announced ? 0 : 1;
}

// The focus is the window thread's: a screen reader asks the system for that thread's
// focused window, then that window's object where it stands.
int PrintFocus(HWND window) {
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread) || thread.hwndFocus == nullptr) return 1;
  Held<IAccessible> object;
  if (FAILED(AccessibleObjectFromWindow(thread.hwndFocus, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&object.p)))) {
    return 1;
  }
  long x = 0, y = 0, w = 0, h = 0;
  if (FAILED(object.p->accLocation(&x, &y, &w, &h, Self()))) return 1;
  std::printf("id=%d %ld %ld %ld %ld\n", GetDlgCtrlID(thread.hwndFocus), x, y, w, h);
  return 0;
}

int Usage() {
  std::fputs(
      "usage: msaa_probe read TITLE | listen TITLE MS FILE | focus TITLE | high-contrast on|off | keyboard-cues on|off "
      "| scheme\n",
      stderr);
  return 2;
}

int SetHighContrast(bool on) {
  HIGHCONTRASTW contrast{sizeof contrast, on ? static_cast<DWORD>(HCF_HIGHCONTRASTON) : 0u, nullptr};
  if (!SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE))
    return 1;
  HIGHCONTRASTW now{sizeof now, 0, nullptr};
  SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof now, &now, 0);
  return ((now.dwFlags & HCF_HIGHCONTRASTON) != 0) == on ? 0 : 1;
}

int SetKeyboardCues(bool on) {
  if (!SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(on)),
                             SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)) {
    return 1;
  }
  BOOL now = !on;
  SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &now, 0);
  return (now != FALSE) == on ? 0 : 1;
}

void PrintScheme() {
  for (int index : {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HIGHLIGHT, COLOR_GRAYTEXT}) {
    const COLORREF c = GetSysColor(index);
    std::printf("#%02X%02X%02X\n", GetRValue(c), GetGValue(c), GetBValue(c));
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring command = argv[1];
  if (command == L"scheme") {
    PrintScheme();
    return 0;
  }
  if (argc < 3) return Usage();
  if (command == L"high-contrast") return SetHighContrast(std::wcscmp(argv[2], L"on") == 0);
  if (command == L"keyboard-cues") return SetKeyboardCues(std::wcscmp(argv[2], L"on") == 0);
  const HWND window = FindWindowW(nullptr, argv[2]);
  if (window == nullptr) {
    std::fputs("msaa_probe: no such window\n", stderr);
    return 1;
  }
  CoInitialize(nullptr);
  int status = 0;
  if (command == L"read") {
    Held<IAccessible> object;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&object.p)))) {
      status = 1;
    } else {
      std::printf("window name=%s\n", Words(object.p, &IAccessible::get_accName).c_str());
      EnumChildWindows(window, ReadChild, 0);
    }
  } else if (command == L"focus") {
    status = PrintFocus(window);
  } else if (command == L"listen" && argc >= 5) {
    status = Listen(window, static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)), argv[4]);
  } else {
    status = Usage();
  }
  std::fflush(stdout);
  CoUninitialize();
  return status;
}
