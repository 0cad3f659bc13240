#include "common/number_text.h"

namespace {

bool StartsWithHexMark(std::u16string_view text) {
  return text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X');
}

std::optional<std::uint32_t> ParseDigits(std::u16string_view digits, unsigned base, std::uint32_t max) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char16_t c : digits) {
    unsigned digit = base;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    else if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    if (digit >= base) return std::nullopt;
    value = value * base + digit;
    if (value > max) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace

std::optional<std::uint32_t> ParseNumber(std::u16string_view text, std::uint32_t max) {
  return StartsWithHexMark(text) ? ParseDigits(text.substr(2), 16, max) : ParseDigits(text, 10, max);
}

std::optional<std::uint32_t> ParseHexNumber(std::u16string_view text, std::uint32_t max) {
  return ParseDigits(StartsWithHexMark(text) ? text.substr(2) : text, 16, max);
}
