// Turns the outcome of an update into the one message the window shows.
#pragma once

#include <cstddef>
#include <functional>

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
// text followed by " (0X%08X)". A message longer than capacity - 1 is cut to fit.
void FormatStatusMessage(StatusCode status, const TextLookup& lookup, char16_t* buffer, std::size_t capacity);
