// A reader for Windows profile (INI) files with the lookup rules of
// GetPrivateProfileStringW, for platforms that have no profile functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The largest profile file the portable reader reads: far more than any Update.ini (the
// shipped one is some 40 KiB). A larger file is read as holding nothing, never whole.
inline constexpr std::uintmax_t kLargestProfileFile = std::uintmax_t{1} << 20;

class ProfileFile {
 public:
  // Decodes and parses a whole file. A file that starts with the UTF-16LE byte-order mark
  // is UTF-16LE; any other file is single-byte text in Windows-1252.
  static ProfileFile Parse(std::span<const std::uint8_t> bytes);

  // The raw value of `key` in the first section named `section`, both compared without
  // regard to case after white space around them is dropped. Only that first section is
  // searched, and its first matching key wins. No value for a key line without "=".
  // The lines before the first header form the section named "".
  std::optional<std::u16string_view> Find(std::u16string_view section, std::u16string_view key) const;

 private:
  struct Entry {
    std::u16string key;
    std::optional<std::u16string> value;
  };
  struct Section {
    std::u16string name;
    std::vector<Entry> entries;
  };
  std::vector<Section> sections_;  // the first one, unnamed, holds the lines before any header
};

// Copies a raw value into `buffer` as GetPrivateProfileStringW returns it: one pair of
// matching surrounding quotes (' or ") removed, cut to capacity - 1 units, terminated.
// Returns the number of units copied.
std::size_t CopyProfileValue(std::u16string_view value, char16_t* buffer, std::size_t capacity);
