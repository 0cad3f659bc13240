#include "platform/profile_file_strings.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "common/profile_reader.h"

std::size_t ProfileFileStrings::Read(const std::u16string& path, const char16_t* section, const char16_t* key,
                                     char16_t* buffer, std::size_t capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  buffer[0] = u'\0';
  if (section == nullptr || key == nullptr) return 0;
  const std::filesystem::path filePath(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(filePath, error) ||
      std::filesystem::file_size(filePath, error) > kLargestProfileFile || error) {
    return 0;
  }
  std::ifstream in(filePath, std::ios::binary);
  if (!in) return 0;
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const ProfileFile file = ProfileFile::Parse(bytes);
  const auto value = file.Find(section, key);
  return value ? CopyProfileValue(*value, buffer, capacity) : 0;
}
