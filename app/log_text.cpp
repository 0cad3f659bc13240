#include "app/log_text.h"

#include <cstdint>
#include <cstdio>

#include "common/utf8.h"

namespace {

struct Range {
  char32_t first, last;
};

// The characters a log line never holds as themselves.
constexpr Range kEscaped[] = {
    {0x0000, 0x001F},  // C0 controls: line breaks, ESC, BEL, ...
    {0x007F, 0x009F},  // DEL and the C1 controls (0x9B starts a terminal sequence too)
    {0x061C, 0x061C},  // Arabic letter mark
    {0x200E, 0x200F},  // left-to-right and right-to-left marks
    {0x2028, 0x2029},  // line and paragraph separators
    {0x202A, 0x202E},  // embeddings, pop, overrides
    {0x2066, 0x2069},  // isolates
    {0xD800, 0xDFFF},  // a surrogate left over: half of a character
};

bool Escaped(char32_t c) {
  for (const Range& r : kEscaped) {
    if (c >= r.first && c <= r.last) return true;
  }
  return false;
}

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::string LogText(std::u16string_view value) {
  std::string text;
  text.reserve(value.size());
  std::size_t kept = 0;  // start of the run of characters copied as they are
  const auto flush = [&](std::size_t end) { text += ToUtf8(value.substr(kept, end - kept)); };
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (IsHigh(value[i]) && i + 1 < value.size() && IsLow(value[i + 1])) {
      ++i;  // a whole pair: a character beyond U+FFFF, none of them escaped
      continue;
    }
    if (!Escaped(value[i])) continue;
    flush(i);
    char escape[12];
    std::snprintf(escape, sizeof escape, "\\u{%X}", static_cast<unsigned>(value[i]));
    text += escape;
    kept = i + 1;
  }
  flush(value.size());
  return text;
}
