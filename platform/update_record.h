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

// The record as a later run reads it back.
struct RecordedImage {
  std::uint32_t nvmVersion = 0;
  std::string sha256;
  bool thisBoot = false;  // written since the system last started
};

enum class RecordRead : std::uint8_t {
  kNone,        // no record: nothing was written on this computer
  kRead,        // the record, whole
  kUnreadable,  // a record that cannot be read whole: what was written is unknown
};

class UpdateRecord {
 public:
  virtual ~UpdateRecord() = default;
  // Reads the record into `recorded`; kRead only when every value it needs was read.
  virtual RecordRead Load(RecordedImage& /*recorded*/) { return RecordRead::kNone; }
  // Replaces the record with `written`, stamped with the current time; false when it could
  // not be stored whole.
  virtual bool Save(const WrittenImage& written) = 0;
};
