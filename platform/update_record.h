// What the tool leaves behind after it wrote an image, for deployment systems that detect
// an installed update by reading it back.
#pragma once

#include <cstdint>
#include <string>

struct WrittenImage {
  std::uint32_t nvmVersion = 0;  // the image's NVM version
  std::string sha256;            // the image file's SHA-256, 64 lower-case hexadecimal digits
  std::u16string controllerId;   // the provider's id of the controller it was written to
};

class UpdateRecord {
 public:
  virtual ~UpdateRecord() = default;
  // Replaces the record with `written`, stamped with the current time; false when it could
  // not be stored whole.
  virtual bool Save(const WrittenImage& written) = 0;
};
