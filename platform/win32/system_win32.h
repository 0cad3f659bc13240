// The ACPI device, the service control manager and the worker's file access, over Win32.
#pragma once

#include "platform/device_io.h"
#include "platform/service_manager.h"
#include "platform/worker_platform.h"

class Win32DeviceIo final : public DeviceIo {
 public:
  DeviceHandle Open(const std::u16string& path) override;
  bool Control(DeviceHandle device, std::uint32_t code, const std::uint8_t* in, std::uint32_t inLength,
               std::uint8_t* out, std::uint32_t outLength, std::uint32_t& returned) override;
  void Close(DeviceHandle device) override;
  SystemError LastFailure() const override { return last_.Get(); }

 private:
  LastSystemError last_;
};

class Win32ServiceManager final : public ServiceManager {
 public:
  ServiceHandle OpenManager(std::uint32_t access) override;
  ServiceHandle OpenNamedService(ServiceHandle manager, const std::u16string& name, std::uint32_t access) override;
  bool Start(ServiceHandle service, std::uint32_t& error) override;
  void Close(ServiceHandle handle) override;
  SystemError LastFailure() const override { return last_.Get(); }

 private:
  LastSystemError last_;
};

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
