// ProfileStrings over the portable reader: the file is read and parsed on every call, so
// a changed file takes effect at the next lookup.
#pragma once

#include "platform/profile_strings.h"

class ProfileFileStrings final : public ProfileStrings {
 public:
  std::size_t Read(const std::u16string& path, const char16_t* section, const char16_t* key, char16_t* buffer,
                   std::size_t capacity) override;
};
