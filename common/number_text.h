// Unsigned numbers written as text in scenario files and on command lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The whole of `text` as a number no larger than `max`: hexadecimal digits after "0x" or
// "0X", decimal digits otherwise. Nothing for any other text (signs, spaces, no digits).
std::optional<std::uint32_t> ParseNumber(std::u16string_view text, std::uint32_t max = 0xFFFFFFFF);

// The whole of `text` as hexadecimal digits, "0x" or "0X" allowed before them, no larger
// than `max`.
std::optional<std::uint32_t> ParseHexNumber(std::u16string_view text, std::uint32_t max = 0xFFFFFFFF);
