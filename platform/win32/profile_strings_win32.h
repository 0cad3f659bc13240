// ProfileStrings over the system's own GetPrivateProfileStringW.
#pragma once

#include "platform/profile_strings.h"

class Win32ProfileStrings final : public ProfileStrings {
 public:
  std::size_t Read(const std::u16string& path, const char16_t* section, const char16_t* key, char16_t* buffer,
                   std::size_t capacity) override;
};
