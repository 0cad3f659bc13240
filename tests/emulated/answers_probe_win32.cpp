// answers_probe TITLE MS: sends WM_NULL to the top-level window titled TITLE and prints
// "answered" when its thread handled it within MS milliseconds, else "silent". A window
// whose thread is stuck in a long call cannot answer; one that keeps pumping does.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fputs("usage: answers_probe TITLE MS\n", stderr);
    return 2;
  }
  const HWND window = FindWindowW(nullptr, argv[1]);
  if (window == nullptr) {
    std::fputs("answers_probe: no such window\n", stderr);
    return 1;
  }
  DWORD_PTR result = 0;
  const UINT timeout = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10));
  const bool answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, timeout, &result) != 0;
  std::puts(answered ? "answered" : "silent");
  return 0;
}
