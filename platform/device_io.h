// Opening a device by path and sending it control requests.
#pragma once

#include <cstdint>
#include <string>

#include "platform/owned_handle.h"
#include "platform/system_error.h"

// A device handle as the system gives it: 0 is null, kInvalidDevice is a failed open.
using DeviceHandle = std::uintptr_t;
inline constexpr DeviceHandle kNullDevice = 0;
inline constexpr DeviceHandle kInvalidDevice = ~DeviceHandle{0};

class DeviceIo {
 public:
  using Device = OwnedHandle<DeviceIo>;

  virtual ~DeviceIo() = default;
  // Opens for reading and writing, shared for reading and writing, existing only. The
  // device is closed when the returned object goes; it is not valid when the open failed.
  Device Open(const std::u16string& path) { return Device(*this, OpenDevice(path)); }
  // Sends a request to a device this opened (Device::get()).
  virtual bool Control(DeviceHandle device, std::uint32_t code, const std::uint8_t* in, std::uint32_t inLength,
                       std::uint8_t* out, std::uint32_t outLength, std::uint32_t& returned) = 0;
  // Why the last Open or Control failed; empty when it succeeded.
  virtual SystemError LastFailure() const { return {}; }

  static bool IsValid(DeviceHandle device) { return device != kNullDevice && device != kInvalidDevice; }

 protected:
  virtual DeviceHandle OpenDevice(const std::u16string& path) = 0;
  virtual void Close(DeviceHandle device) = 0;

 private:
  friend Device;
};
