#include "platform/win32/module_path_win32.h"

#include <windows.h>

#include <array>

#include "platform/win32/wide.h"
#include "skin/localized_text.h"

std::u16string ModulePath() {
  std::array<wchar_t, kPathCapacity> path{};
  GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  return AsUtf16(path.data());
}
