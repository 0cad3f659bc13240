// The ACPI device's control calls over Win32.
#pragma once

#include "platform/device_io.h"

class Win32DeviceIo final : public DeviceIo {
 public:
  bool Control(DeviceHandle device, std::uint32_t code, const std::uint8_t* in, std::uint32_t inLength,
               std::uint8_t* out, std::uint32_t outLength, std::uint32_t& returned) override;
  SystemError LastFailure() const override { return last_.Get(); }

 private:
  DeviceHandle OpenDevice(const std::u16string& path) override;
  void Close(DeviceHandle device) override;

  LastSystemError last_;
};
