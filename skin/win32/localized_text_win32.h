// The tool's text lookup: data\Update.ini beside the running executable, read with the
// system's profile functions.
#pragma once

#include <cstddef>
#include <cstdint>

// Fills `buffer` with the text of `key` in `languageId`; see LoadLocalizedTextFrom.
void LoadLocalizedText(std::uint16_t languageId, const char16_t* key, char16_t* buffer, std::size_t capacity);
