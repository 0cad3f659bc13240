#include "skin/win32/localized_text_win32.h"

#include <algorithm>

#include "platform/win32/module_path_win32.h"
#include "platform/win32/profile_strings_win32.h"
#include "skin/localized_text.h"

void LoadLocalizedText(std::uint16_t languageId, const char16_t* key, char16_t* buffer, std::size_t capacity) {
  if (key == nullptr || buffer == nullptr) return;
  // Without the program's path there is no folder beside it; never a relative path.
  const std::u16string module = ModulePath();
  const auto iniPath = module.empty() ? std::nullopt : IniPathBesideModule(module);
  if (!iniPath) {
    std::fill(buffer, buffer + capacity, u'\0');
    return;
  }
  Win32ProfileStrings profile;
  LoadLocalizedTextFrom(profile, *iniPath, languageId, key, buffer, capacity);
}
