// Reading one string from a profile (INI) file: GetPrivateProfileStringW on Windows, the
// portable reader elsewhere.
#pragma once

#include <cstddef>
#include <string>

class ProfileStrings {
 public:
  virtual ~ProfileStrings() = default;
  // Fills `buffer` with the value of `key` in `section` of the file at `path`, cut to
  // capacity - 1 units and terminated; an empty string when the file, section or key is
  // missing. Returns the number of units written before the terminator.
  virtual std::size_t Read(const std::u16string& path, const char16_t* section, const char16_t* key, char16_t* buffer,
                           std::size_t capacity) = 0;
};
