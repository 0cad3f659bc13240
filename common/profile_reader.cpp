#include "common/profile_reader.h"

#include <algorithm>
#include <array>

namespace {

// Windows-1252 for 0x80..0x9F; the other bytes map to the same code point.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::u16string Decode(std::span<const std::uint8_t> bytes) {
  std::u16string text;
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    text.reserve(bytes.size() / 2);
    // A trailing odd byte is not part of any character.
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text += static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    }
    return text;
  }
  text.reserve(bytes.size());
  for (std::uint8_t b : bytes) {
    text += (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : static_cast<char16_t>(b);
  }
  return text;
}

// White space around lines, names and values: the ASCII spaces, plus Ctrl-Z, which old
// DOS tools left at the end of files. Other Unicode spaces are part of the text.
bool IsProfileSpace(char16_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; }

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsProfileSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsProfileSpace(s.back())) s.remove_suffix(1);
  return s;
}

// Upper case as the system compares names, for the scripts with case that section and key
// names plausibly use: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic.
char16_t ToUpper(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c < 0xE0) return c;
  if (c <= 0xFE) return c == 0xF7 ? c : static_cast<char16_t>(c - 0x20);
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17E && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149) {
    // Upper and lower case alternate: upper on even code points, except in 0x139..0x148
    // and 0x179..0x17E, where upper is odd.
    const bool upperIsOdd = (c >= 0x139 && c <= 0x148) || c >= 0x179;
    const bool isLower = upperIsOdd ? (c % 2 == 0) : (c % 2 == 1);
    return isLower ? static_cast<char16_t>(c - 1) : c;
  }
  if (c == 0x3AC) return 0x386;
  if (c >= 0x3AD && c <= 0x3AF) return static_cast<char16_t>(c - 0x25);
  if (c == 0x3C2) return 0x3A3;  // final sigma
  if (c >= 0x3B1 && c <= 0x3CB) return static_cast<char16_t>(c - 0x20);
  if (c == 0x3CC) return 0x38C;
  if (c == 0x3CD || c == 0x3CE) return static_cast<char16_t>(c - 0x3F);
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
  return c;
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return ToUpper(x) == ToUpper(y); });
}

}  // namespace

ProfileFile ProfileFile::Parse(std::span<const std::uint8_t> bytes) {
  const std::u16string text = Decode(bytes);
  ProfileFile file;
  file.sections_.push_back(Section{});
  std::u16string_view rest = text;
  // A line ends at CR, LF or both; the empty lines this makes between CR and LF are skipped.
  while (!rest.empty()) {
    const std::size_t end = rest.find_first_of(u"\r\n");
    std::u16string_view line = Trim(rest.substr(0, end));
    rest.remove_prefix(end == std::u16string_view::npos ? rest.size() : end + 1);
    if (line.empty()) continue;
    if (line.front() == u'[') {
      // The name runs to the last "]" of the line; a line without one is an entry.
      const std::size_t close = line.rfind(u']');
      if (close != std::u16string_view::npos) {
        file.sections_.push_back(Section{std::u16string(Trim(line.substr(1, close - 1))), {}});
        continue;
      }
    }
    Entry entry;
    const std::size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos) {
      entry.key = std::u16string(line);
    } else {
      entry.key = std::u16string(Trim(line.substr(0, equals)));
      entry.value = std::u16string(Trim(line.substr(equals + 1)));
    }
    file.sections_.back().entries.push_back(std::move(entry));
  }
  return file;
}

std::optional<std::u16string_view> ProfileFile::Find(std::u16string_view section, std::u16string_view key) const {
  section = Trim(section);
  key = Trim(key);
  if (key.empty()) return std::nullopt;
  for (const Section& candidate : sections_) {
    if (!EqualsIgnoringCase(candidate.name, section)) continue;
    for (const Entry& entry : candidate.entries) {
      if (EqualsIgnoringCase(entry.key, key)) {
        if (!entry.value) return std::nullopt;
        return std::u16string_view(*entry.value);
      }
    }
    return std::nullopt;
  }
  return std::nullopt;
}

std::size_t CopyProfileValue(std::u16string_view value, char16_t* buffer, std::size_t capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  // A value holding a NUL ends there, as the C string it becomes.
  value = value.substr(0, value.find(u'\0'));
  const std::size_t length = std::min(value.size(), capacity - 1);
  std::copy_n(value.begin(), length, buffer);
  buffer[length] = u'\0';
  return length;
}
