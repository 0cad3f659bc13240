// Power control through the board maker's ACPI driver: one device, one kind of request
// (a method tag and its arguments), the first 32-bit word of the reply.
#pragma once

#include <cstdint>

#include "platform/device_io.h"

inline constexpr char16_t kAcpiDevicePath[] = u"\\\\.\\HVKACPI";
inline constexpr std::uint32_t kAcpiControlCode = 0x0022240C;  // FILE_DEVICE_UNKNOWN, 0x903, buffered, any access
inline constexpr std::uint32_t kAcpiReplyCapacity = 1024;
inline constexpr std::uint32_t kDevsTag = 0x53564544;  // "DEVS" in memory order
inline constexpr std::uint32_t kControllerAcpiDevice = 0x00060057;

class AcpiDevice {
 public:
  explicit AcpiDevice(DeviceIo& io) : io_(io) {}
  AcpiDevice(const AcpiDevice&) = delete;
  AcpiDevice& operator=(const AcpiDevice&) = delete;

  // Opens the device; the handle is kept whatever the outcome. True when open afterwards.
  bool OpenAcpiDevice();
  // True when it closed an open device.
  bool CloseAcpiDevice();
  bool IsOpen() const { return device_.valid(); }
  // Why the last open or request failed, as the system said; empty when it succeeded.
  SystemError LastFailure() const { return io_.LastFailure(); }

  // Sends tag, argument length and arguments; on success copies at most `replyLength`
  // bytes of the reply and sets `replyLength` to the count copied.
  bool AcpiControl(std::uint32_t tag, const std::uint8_t* arguments, std::uint32_t argumentLength, std::uint8_t* reply,
                   std::uint32_t& replyLength);
  // Runs method `tag` with two arguments; `result` is the reply's first word, or 0 for a
  // reply shorter than 4 bytes. False, with `result` untouched, when nothing could be sent.
  bool CallAcpiMethod(std::uint32_t tag, std::uint32_t first, std::uint32_t second, std::uint32_t& result);

 private:
  DeviceIo& io_;
  DeviceIo::Device device_;  // closed when the device goes
};
