// What the update worker needs of the system besides the controller: waiting, its own
// path, the folder search, reading the image file into one memory block, and the power
// source right before the write.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/power_source.h"
#include "platform/system_error.h"

// An open file, read as a whole; closed when dropped.
class ImageFile {
 public:
  virtual ~ImageFile() = default;
  // The file's full size; false when it cannot be had.
  virtual bool Size(std::uint64_t& size) = 0;
  // One read of `size` bytes from the start; `read` receives the count actually read.
  virtual bool Read(std::uint8_t* buffer, std::uint32_t size, std::uint32_t& read) = 0;
};

// The image's memory block, zero-filled and locked while it lives; freed when dropped.
class ImageBlock {
 public:
  virtual ~ImageBlock() = default;
  virtual std::uint8_t* data() = 0;
};

class WorkerPlatform {
 public:
  virtual ~WorkerPlatform() = default;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // The running program's full path (at most 1023 units).
  virtual std::u16string ModulePath() = 0;
  // Calls `visit` with the name of each regular file that matches `pattern`, in the order
  // the system returns them, until `visit` returns false: directories (".", ".." among
  // them) and names that open a device rather than a file are passed over. False when the
  // search cannot start.
  virtual bool FindEntries(const std::u16string& pattern, const std::function<bool(std::u16string_view)>& visit) = 0;
  // Opens for reading, shared with readers only; empty when it cannot be opened.
  virtual std::unique_ptr<ImageFile> OpenImageFile(const std::u16string& path) = 0;
  // Empty when the memory cannot be had.
  virtual std::unique_ptr<ImageBlock> AllocateImageBlock(std::uint32_t size) = 0;
  // The SHA-256 (64 lower-case hexadecimal digits) of the one image a pinned tool may
  // write; empty when the tool is not pinned. A pin that cannot be read whole is given as
  // a digest that matches no image.
  virtual std::optional<std::string> PinnedImageDigest() { return std::nullopt; }
  // The power source now, asked again right before the write: an adapter pulled while the
  // controller settled must not leave the write on battery.
  virtual PowerSource QueryPowerSource() { return PowerSource::kUnknown; }
  // Why the last search, open, size, read or allocation failed, for a file of the search
  // and its reads alike; empty when it succeeded or was refused for a reason of the
  // tool's own (a file outside the data folder, say).
  virtual SystemError LastFailure() const { return {}; }
};
