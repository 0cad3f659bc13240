// A controller read from a dump that also records every ReadFirmware call and fails on
// request, for the tests and benches of image validation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "controller/dump_controller.h"

class RegionController : public DumpController {
 public:
  struct Read {
    std::uint32_t offset;
    std::uint32_t length;
    bool operator==(const Read&) const = default;
  };

  using DumpController::DumpController;

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
  std::optional<StatusCode> versionFailure_;
  std::vector<Fault> faults_;
  std::vector<Read> reads_;
  std::size_t versionCalls_ = 0;
};
