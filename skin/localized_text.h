// Looking up the user-visible texts in data\Update.ini by language and text key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/program_folder.h"
#include "platform/profile_strings.h"

// The language whose entry of section "Language" is read for `languageId`: Chinese ids
// fold to 0x0404 or 0x0804 where they share a script, Portuguese ids stay as they are,
// every other id becomes its primary language's default (sublanguage 1).
std::uint16_t NormalizeLanguage(std::uint16_t languageId);

// The key of a language in section "Language": "0x" and upper-case hex without leading zeros.
std::u16string LanguageKey(std::uint16_t languageId);

// "data\Update.ini" in the folder of `modulePath` (everything up to its last backslash).
// Nothing when the result would not fit the path buffer: a cut path would name another file.
std::optional<std::u16string> IniPathBesideModule(std::u16string_view modulePath);

// Fills `buffer` with the text of `key` for `languageId` from the INI file at `iniPath`,
// through the language's section, or the section of "0x409" when the language has none.
// Null `key` or `buffer` leaves the buffer untouched; otherwise it is zero-filled first and
// holds an empty string when no text is found.
void LoadLocalizedTextFrom(ProfileStrings& profile, const std::u16string& iniPath, std::uint16_t languageId,
                           const char16_t* key, char16_t* buffer, std::size_t capacity);
