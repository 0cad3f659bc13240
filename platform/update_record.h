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

// One attempt to write, whatever became of it: the last one is kept beside the record of
// the last write, for inventories and detection scripts.
struct AttemptedImage {
  std::uint32_t nvmVersion = 0;  // the image's version; 0 when no image was read
  std::string sha256;            // the image's SHA-256; empty when no image was read
  std::uint32_t status = 0;      // the run's status
  // "written", "refused", "failed", "already current" or "pending"
  const char* outcome = "failed";
};

inline constexpr char kPending[] = "pending";
inline constexpr char kActive[] = "active";
inline constexpr char kNotActivated[] = "not activated";

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
  // Replaces the last attempt with `attempt`, stamped with the current time.
  virtual bool SaveAttempt(const AttemptedImage& /*attempt*/) { return true; }
  // Sets the recorded write's activation, as a run found it on the controller: kActive
  // once the controller reports its version, kNotActivated when it was made in an earlier
  // boot and the controller still does not. A write starts as kPending.
  virtual bool MarkActivation(const char* /*activation*/) { return true; }
  // Replaces the record with `written`, stamped with the current time; false when it could
  // not be stored whole.
  virtual bool Save(const WrittenImage& written) = 0;
};
