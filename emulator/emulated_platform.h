// The ACPI driver, the service control manager and the worker's file system, emulated in
// process over a ControllerModel.
#pragma once

#include "emulator/controller_model.h"
#include "platform/device_io.h"
#include "platform/service_manager.h"
#include "platform/worker_platform.h"

class EmulatedDeviceIo final : public DeviceIo {
 public:
  explicit EmulatedDeviceIo(ControllerModel& model) : model_(model) {}
  bool Control(DeviceHandle device, std::uint32_t code, const std::uint8_t* in, std::uint32_t inLength,
               std::uint8_t* out, std::uint32_t outLength, std::uint32_t& returned) override;
  SystemError LastFailure() const override { return last_.Get(); }

  std::vector<std::vector<std::uint8_t>> requests;  // every request, as sent

 private:
  DeviceHandle OpenDevice(const std::u16string& path) override;
  void Close(DeviceHandle device) override;

  ControllerModel& model_;
  LastSystemError last_;
};

class EmulatedServiceManager final : public ServiceManager {
 public:
  explicit EmulatedServiceManager(ControllerModel& model) : model_(model) {}
  bool Start(ServiceHandle service, std::uint32_t& error) override;
  SystemError LastFailure() const override { return last_.Get(); }

 private:
  ServiceHandle OpenManagerHandle(std::uint32_t access) override;
  ServiceHandle OpenServiceHandle(ServiceHandle manager, const std::u16string& name, std::uint32_t access) override;
  void Close(ServiceHandle handle) override;

  ControllerModel& model_;
  LastSystemError last_;
};

class EmulatedWorkerPlatform final : public WorkerPlatform {
 public:
  explicit EmulatedWorkerPlatform(ControllerModel& model) : model_(model) {}
  void Sleep(std::uint32_t milliseconds) override;
  std::u16string ModulePath() override { return model_.modulePath; }
  bool FindEntries(const std::u16string& pattern, const std::function<bool(std::u16string_view)>& visit) override;
  std::unique_ptr<ImageFile> OpenImageFile(const std::u16string& path) override;
  std::unique_ptr<ImageBlock> AllocateImageBlock(std::uint32_t size) override;
  std::optional<std::string> PinnedImageDigest() override { return model_.pinnedImageDigest; }
  PowerSource QueryPowerSource() override;
  SystemError LastFailure() const override { return last_.Get(); }

 private:
  ControllerModel& model_;
  LastSystemError last_;
};
