// A controller reduced to what image validation reads: its active NVM region and its
// version. It records every ReadFirmware call and fails on request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "controller/controller_access.h"

class RegionController : public ControllerAccess {
 public:
  struct Read {
    std::uint32_t offset;
    std::uint32_t length;
    bool operator==(const Read&) const = default;
  };

  // The provider's answer to a read that reaches past the end of the region: the bytes
  // inside it are returned, the rest are left as they were.
  static constexpr StatusCode kOutOfRegion = 0x57;

  RegionController(std::vector<std::uint8_t> region, std::uint32_t version);

  StatusCode GetCurrentNvmVersion(std::uint32_t& version) override;
  StatusCode ReadFirmware(std::uint32_t offset, std::uint32_t length, std::uint8_t* buffer) override;

  // GetCurrentNvmVersion returns `status` and does not write the version.
  void FailVersion(StatusCode status) { versionFailure_ = status; }
  // The `n`th ReadFirmware call (from 1) returns `status` and writes nothing.
  void FailRead(std::size_t n, StatusCode status);
  // The `n`th ReadFirmware call (from 1) returns 0 but writes only `returned` bytes.
  void ShortenRead(std::size_t n, std::uint32_t returned);

  const std::vector<Read>& Reads() const { return reads_; }
  std::size_t VersionCalls() const { return versionCalls_; }

 private:
  struct Fault {
    std::size_t call;
    StatusCode status;
    std::uint32_t returned;
  };
  std::vector<std::uint8_t> region_;
  std::uint32_t version_;
  std::optional<StatusCode> versionFailure_;
  std::vector<Fault> faults_;
  std::vector<Read> reads_;
  std::size_t versionCalls_ = 0;
};
