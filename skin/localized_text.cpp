#include "skin/localized_text.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t kSectionNameCapacity = 10;  // at most 9 characters of section name
constexpr std::uint16_t kPrimaryChinese = 0x04;
constexpr std::uint16_t kPrimaryPortuguese = 0x16;

}  // namespace

std::uint16_t NormalizeLanguage(std::uint16_t languageId) {
  const std::uint16_t primary = languageId & 0x3FF;
  if (primary == kPrimaryChinese) {
    switch (languageId) {
      case 0x0404:
      case 0x0C04:
      case 0x1404: return 0x0404;  // Traditional script
      case 0x0804:
      case 0x1004: return 0x0804;  // Simplified script
      default: return languageId;
    }
  }
  if (primary == kPrimaryPortuguese) return languageId;  // Brazil and Portugal differ
  return static_cast<std::uint16_t>(0x0400 | primary);
}

std::u16string LanguageKey(std::uint16_t languageId) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(kHex[languageId & 0xF]));
    languageId = static_cast<std::uint16_t>(languageId >> 4);
  } while (languageId != 0);
  return u"0x" + digits;
}

std::optional<std::u16string> IniPathBesideModule(std::u16string_view modulePath) {
  const std::u16string path = DataFolderBeside(modulePath) + u"\\Update.ini";
  if (path.size() >= kPathCapacity) return std::nullopt;
  return path;
}

void LoadLocalizedTextFrom(ProfileStrings& profile, const std::u16string& iniPath, std::uint16_t languageId,
                           const char16_t* key, char16_t* buffer, std::size_t capacity) {
  if (key == nullptr || buffer == nullptr) return;
  std::fill(buffer, buffer + capacity, u'\0');
  if (capacity == 0) return;
  const std::u16string languageKey = LanguageKey(NormalizeLanguage(languageId));
  std::array<char16_t, kSectionNameCapacity> section{};
  profile.Read(iniPath, u"Language", languageKey.c_str(), section.data(), section.size());
  if (section[0] == u'\0') profile.Read(iniPath, u"Language", u"0x409", section.data(), section.size());
  if (section[0] == u'\0') return;
  profile.Read(iniPath, section.data(), key, buffer, capacity);
}
