// The worker's waits, its own path, the data folder's search, the image's file and memory,
// the pin and the power source, over Win32.
#pragma once

#include "platform/worker_platform.h"

class Win32WorkerPlatform final : public WorkerPlatform {
 public:
  void Sleep(std::uint32_t milliseconds) override;
  std::u16string ModulePath() override;
  bool FindEntries(const std::u16string& pattern, const std::function<bool(std::u16string_view)>& visit) override;
  std::unique_ptr<ImageFile> OpenImageFile(const std::u16string& path) override;
  std::unique_ptr<ImageBlock> AllocateImageBlock(std::uint32_t size) override;
  // Resource PINNED_IMAGE_SHA256 (RCDATA) of the program, when it was built pinned.
  std::optional<std::string> PinnedImageDigest() override;
  PowerSource QueryPowerSource() override;
  SystemError LastFailure() const override { return last_.Get(); }

 private:
  // Shared with the image files it opens, whose reads fail or succeed in its name.
  LastSystemError last_;
};
