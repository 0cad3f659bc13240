#include "controller/acpi_device.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

void PutU32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
         (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

}  // namespace

bool AcpiDevice::OpenAcpiDevice() {
  device_ = io_.Open(kAcpiDevicePath);
  return IsOpen();
}

bool AcpiDevice::CloseAcpiDevice() {
  if (!IsOpen()) return false;
  device_.reset();
  return true;
}

bool AcpiDevice::AcpiControl(std::uint32_t tag, const std::uint8_t* arguments, std::uint32_t argumentLength,
                             std::uint8_t* reply, std::uint32_t& replyLength) {
  std::vector<std::uint8_t> request(8 + static_cast<std::size_t>(argumentLength));
  PutU32(request.data(), tag);
  PutU32(request.data() + 4, argumentLength);
  if (argumentLength > 0) std::copy_n(arguments, argumentLength, request.data() + 8);
  std::array<std::uint8_t, kAcpiReplyCapacity> answer{};
  std::uint32_t returned = 0;
  if (!io_.Control(device_.get(), kAcpiControlCode, request.data(), static_cast<std::uint32_t>(request.size()),
                   answer.data(), kAcpiReplyCapacity, returned)) {
    return false;
  }
  // A driver reporting more than the reply area holds cannot make us copy past it.
  const std::uint32_t n = std::min({replyLength, returned, kAcpiReplyCapacity});
  std::copy_n(answer.begin(), n, reply);
  replyLength = n;
  return true;
}

bool AcpiDevice::CallAcpiMethod(std::uint32_t tag, std::uint32_t first, std::uint32_t second, std::uint32_t& result) {
  if (!IsOpen()) return false;
  std::array<std::uint8_t, 8> arguments{};
  PutU32(arguments.data(), first);
  PutU32(arguments.data() + 4, second);
  std::array<std::uint8_t, 4> reply{};
  std::uint32_t replyLength = static_cast<std::uint32_t>(reply.size());
  if (!AcpiControl(tag, arguments.data(), static_cast<std::uint32_t>(arguments.size()), reply.data(), replyLength)) {
    return false;
  }
  result = replyLength < 4 ? 0 : GetU32(reply.data());
  return true;
}
