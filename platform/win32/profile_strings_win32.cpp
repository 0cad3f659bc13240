#include "platform/win32/profile_strings_win32.h"

#include <windows.h>

#include "platform/win32/wide.h"

std::size_t Win32ProfileStrings::Read(const std::u16string& path, const char16_t* section, const char16_t* key,
                                      char16_t* buffer, std::size_t capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  buffer[0] = u'\0';
  if (section == nullptr || key == nullptr) return 0;
  return GetPrivateProfileStringW(AsWide(section), AsWide(key), L"", AsWide(buffer), static_cast<DWORD>(capacity),
                                  AsWide(path.c_str()));
}
