#include "platform/win32/module_path_win32.h"

#include <windows.h>

#include <array>

#include "common/program_folder.h"
#include "platform/win32/wide.h"

std::u16string ModulePath() {
  std::array<wchar_t, kPathCapacity> path{};
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  // A path that fills the buffer was cut short (and, before Vista, is not terminated).
  if (length == 0 || length >= path.size()) return {};
  return std::u16string(AsUtf16(path.data()), length);
}
