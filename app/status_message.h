// Turns the outcome of an update into the one message the window shows.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "common/status_codes.h"

// Fills `buffer` (capacity in UTF-16 units, terminator included) with the text of `key`;
// an empty string when there is none. LoadLocalizedText bound to a language fits here.
using TextLookup = std::function<void(const char16_t* key, char16_t* buffer, std::size_t capacity)>;

// Size of the message buffer and of the error-text buffer the window uses.
inline constexpr std::size_t kMessageCapacity = 256;

// The text key whose text reports `status`: "IDS_SUCCESS", "IDS_FIND_NO_SW",
// "IDS_DOWNGRADE", or "IDS_ERROR" for every other value.
const char16_t* StatusMessageKey(StatusCode status);

// Writes the message for `status` into `buffer`: the key's text, and for "IDS_ERROR" the
// text followed by " (0X%08X)". A message longer than capacity - 1 is cut to fit. The
// texts come from a file others may have edited: a failure whose text is the success text
// is told with the built-in English text instead, so no failure reads as a success.
void FormatStatusMessage(StatusCode status, const TextLookup& lookup, char16_t* buffer, std::size_t capacity);

// The built-in English text of each key a status is told with (BuiltInText), for the
// log's status line and for a text refused above: never read from a file.
void BuiltInText(const char16_t* key, char16_t* buffer, std::size_t capacity);

// The message for `status` in built-in English, as the log writes it.
std::u16string BuiltInMessage(StatusCode status);
