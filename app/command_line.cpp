#include "app/command_line.h"

#include <cstdint>

namespace {

bool IsWideSpace(char16_t c) {
  // The characters the platform runtime's iswspace accepts: the C0 spaces and the
  // Unicode space separators (not U+0085, a control character there).
  switch (c) {
    case 0x09:
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x20:
    case 0xA0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000: return true;
    default: return c >= 0x2000 && c <= 0x200A;
  }
}

// Decimal digit blocks whose digits the runtime's wcstol accepts besides ASCII: each entry
// is the code point of the block's zero.
constexpr char16_t kDigitZeros[] = {
    0x0660, 0x06F0, 0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66, 0x0C66, 0x0CE6,
    0x0D66, 0x0E50, 0x0ED0, 0x0F20, 0x1040, 0x17E0, 0x1810, 0xFF10,
};

int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  for (char16_t zero : kDigitZeros) {
    if (c >= zero && c < zero + 10) return c - zero;
  }
  return -1;
}

char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool EqualsIgnoringCase(const char16_t* text, const char16_t* lowerAscii) {
  for (; *lowerAscii != 0; ++text, ++lowerAscii) {
    if (AsciiLower(*text) != *lowerAscii) return false;
  }
  return *text == 0;
}

bool StartsIgnoringCase(const char16_t* text, const char16_t* lowerAscii) {
  for (; *lowerAscii != 0; ++text, ++lowerAscii) {
    if (AsciiLower(*text) != *lowerAscii) return false;
  }
  return true;
}

std::size_t Length(const char16_t* text) {
  std::size_t n = 0;
  while (text[n] != 0) ++n;
  return n;
}

}  // namespace

std::int32_t ParseHexLong(const char16_t* text) {
  const char16_t* p = text;
  while (IsWideSpace(*p)) ++p;
  bool negative = false;
  if (*p == u'-' || *p == u'+') negative = (*p++ == u'-');
  // Any script's zero introduces the prefix, as it does for the runtime.
  if (HexDigitValue(p[0]) == 0 && (p[1] == u'x' || p[1] == u'X') && HexDigitValue(p[2]) >= 0) p += 2;
  // Accumulate in 64 bits and stop growing once past the 32-bit range: the result is
  // clamped anyway, and this keeps any number of digits from overflowing.
  constexpr std::int64_t kLimit = std::int64_t{1} << 32;
  std::int64_t magnitude = 0;
  for (int digit; (digit = HexDigitValue(*p)) >= 0; ++p) {
    if (magnitude < kLimit) magnitude = magnitude * 16 + digit;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

bool ParseCommandLine(int argc, const char16_t* const* argv, RunRequest& request) {
  bool silent = false, check = false, help = false, shutdown = false, force = false, wellFormed = true;
  for (int i = 1; i < argc; ++i) {
    const char16_t* arg = argv[i];
    if (arg == nullptr || arg[0] != u'/') continue;
    if (EqualsIgnoringCase(arg, u"/downgradable")) {
      request.downgradable = true;
    } else if (Length(arg) > 5 && AsciiLower(arg[1]) == u'l' && AsciiLower(arg[2]) == u'i' &&
               AsciiLower(arg[3]) == u'd' && arg[4] == u':') {
      request.language = static_cast<std::uint16_t>(static_cast<std::uint32_t>(ParseHexLong(arg + 5)) & 0xFFFF);
    } else if (EqualsIgnoringCase(arg, u"/silent")) {
      silent = true;
    } else if (EqualsIgnoringCase(arg, u"/check")) {
      check = true;
    } else if (EqualsIgnoringCase(arg, u"/shutdown")) {
      shutdown = true;
    } else if (EqualsIgnoringCase(arg, u"/force")) {
      force = true;
    } else if (EqualsIgnoringCase(arg, u"/?")) {
      help = true;
    } else if (StartsIgnoringCase(arg, u"/log:")) {
      request.logPath = arg + 5;
      if (request.logPath.empty()) wellFormed = false;
    }
  }
  if (help) {
    request.mode = RunMode::kHelp;
  } else if (check) {
    request.mode = RunMode::kCheck;
  } else if (silent) {
    request.mode = RunMode::kSilent;
    request.shutdown = shutdown;
    request.force = force;
  }
  return wellFormed;
}
