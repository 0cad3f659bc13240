// The profile reader on arbitrary file contents, with lookups and value copies.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/profile_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ProfileFile file = ProfileFile::Parse(std::span<const std::uint8_t>(data, size));
  constexpr std::u16string_view kSections[] = {u"", u"0409", u"0x0409", u"Strings"};
  constexpr std::u16string_view kKeys[] = {u"", u"IDS_UPDATE", u"IDS_ERROR", u"a"};
  for (std::u16string_view section : kSections) {
    for (std::u16string_view key : kKeys) {
      const auto value = file.Find(section, key);
      if (!value) continue;
      for (std::size_t capacity : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{8}, std::size_t{256}}) {
        std::array<char16_t, 256> buffer{};
        CopyProfileValue(*value, buffer.data(), capacity);
      }
    }
  }
  return 0;
}
