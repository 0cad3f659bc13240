// What fwupd needs to install an image from the LVFS: the facts read from the image (the
// controller it is for, the board maker's identity, the NVM version), the GUIDs fwupd gives
// a host controller, and the metainfo file a cabinet carries beside the image.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "common/status_codes.h"
#include "controller/image_layout.h"
#include "controller/nvm_field_checks.h"

struct CabinetFacts {
  std::uint16_t deviceId = 0;
  std::uint32_t generation = 0;
  std::uint32_t reducedPorts = 0;
  // The board maker's identity (section 1): read from generation 3 images, given by the
  // maker for the others, whose layout carries no section we read it from.
  std::optional<std::uint16_t> vendorId;
  std::optional<std::uint16_t> modelId;
  std::uint8_t versionMajor = 0;  // region byte 0x0A, the version validation compares
  std::uint8_t versionMinor = 0;  // region byte 0x09
  // The image's enumeration mode (bit 0x20 of region byte 0x7B), which becomes the
  // controller's once it is written, and by which fwupd names the controller.
  bool native = false;
};

// Why an image cannot go into a cabinet: the status our validation would report for it on
// every controller, and the field that decides it when one does.
struct CabinetRefusal {
  StatusCode status = kSuccess;
  const NvmFieldCheck* field = nullptr;
  const char* reason = "";
};

// Reads the facts and refuses an image no controller would accept: one larger than any
// NVM (16 MiB), one our parser cannot
// lay out (unknown device identifier, blank pointers, a broken block chain), one for
// generation 0, and one ending before a field that every controller of its generation and
// port variant compares (the table's region fields, the board identity in section 1).
std::optional<CabinetFacts> ReadCabinetFacts(ImageBytes image, CabinetRefusal& refusal);

// fwupd's instance id of a host controller: "TBT-" and the vendor and model ids as eight
// lower-case hexadecimal digits, "-native" appended for a controller in native mode.
std::string HostInstanceId(std::uint16_t vendorId, std::uint16_t modelId, bool native);

// The name-based UUID (version 5, DNS namespace) of `name`, lower-case with dashes: how
// fwupd turns an instance id into a GUID.
std::string NameBasedGuid(const std::string& name);

// The version fwupd shows for a Thunderbolt controller, and so the one a release must
// carry to be seen as installed: the kernel's nvm_version (major and minor bytes in
// hexadecimal) as fwupd formats it, each byte as two lower-case hexadecimal digits.
std::string PairVersion(std::uint8_t major, std::uint8_t minor);

// Whether every digit of `version` is decimal, so "pair" reads it as two numbers.
bool IsDecimalPair(const std::string& version);

struct MetainfoText {
  std::string id;  // the component id, reverse-DNS
  std::string name;
  std::string summary;
  std::string releaseNotes;
  std::string date;  // YYYY-MM-DD, or empty for none
};

// The metainfo file for `firmwareName` whose SHA-256 is `sha256`, offering it to every
// GUID in `guids` at `version`. Every outside text is escaped for XML.
std::string BuildMetainfo(const MetainfoText& text, std::span<const std::string> guids, const std::string& version,
                          const std::string& firmwareName, const std::string& sha256);
