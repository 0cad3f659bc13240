#include "tools/tbtfw-check/cabinet_metainfo.h"

#include <array>
#include <cstdio>
#include <vector>

#include "controller/nvm_layout.h"

namespace {

constexpr std::uint32_t kNvmMinorOffset = 0x09;

// The checks that read the image at a fixed place for every controller of the image's
// generation and port variant: the table's region rows (read as whole words) and, for
// generation 3, the board identity in section 1 (read at its own width).
const NvmFieldCheck* FirstFieldOutside(ImageBytes image, const NvmLayout& layout) {
  std::uint32_t value = 0;
  for (const NvmFieldCheck& row : kNvmFieldChecks) {
    if (!RowApplies(row, layout.generation, layout.reducedPorts) || row.section != kRegionSection) continue;
    if (!ReadImageValue(image, std::uint64_t{layout.regionBase} + row.offset, 4, value)) return &row;
  }
  for (const NvmFieldCheck& field : kBoardIdentityChecks) {
    if (!RowApplies(field, layout.generation, layout.reducedPorts)) continue;
    if (!layout.hasSection1 ||
        !ReadImageValue(image, std::uint64_t{layout.section1Base} + field.offset, field.length, value)) {
      return &field;
    }
  }
  return nullptr;
}

// SHA-1, which name-based UUIDs are made with; nothing here relies on it resisting attack.
std::array<std::uint8_t, 20> Sha1(const std::vector<std::uint8_t>& message) {
  std::array<std::uint32_t, 5> h{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
  std::vector<std::uint8_t> data = message;
  const std::uint64_t bits = std::uint64_t{message.size()} * 8;
  data.push_back(0x80);
  while (data.size() % 64 != 56) data.push_back(0);
  for (int shift = 56; shift >= 0; shift -= 8) data.push_back(static_cast<std::uint8_t>(bits >> shift));
  const auto rotl = [](std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); };
  for (std::size_t block = 0; block < data.size(); block += 64) {
    std::array<std::uint32_t, 80> w{};
    for (std::size_t i = 0; i < 16; ++i) {
      const std::uint8_t* p = &data[block + 4 * i];
      w[i] = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
    }
    for (std::size_t i = 16; i < 80; ++i) w[i] = rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    // The four rounds side by side, as SHA-1 is usually written down.
    // clang-format off
    for (std::size_t i = 0; i < 80; ++i) {
      std::uint32_t f = 0, k = 0;
      if (i < 20) { f = (b & c) | (~b & d); k = 0x5A827999; }
      else if (i < 40) { f = b ^ c ^ d; k = 0x6ED9EBA1; }
      else if (i < 60) { f = (b & c) | (b & d) | (c & d); k = 0x8F1BBCDC; }
      else { f = b ^ c ^ d; k = 0xCA62C1D6; }
      const std::uint32_t next = rotl(a, 5) + f + e + k + w[i];
      e = d; d = c; c = rotl(b, 30); b = a; a = next;
    }
    h[0] += a; h[1] += b; h[2] += c; h[3] += d; h[4] += e;
    // clang-format on
  }
  std::array<std::uint8_t, 20> digest{};
  for (std::size_t i = 0; i < 20; ++i) digest[i] = static_cast<std::uint8_t>(h[i / 4] >> (24 - 8 * (i % 4)));
  return digest;
}

std::string EscapeXml(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      case '\'': escaped += "&apos;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

}  // namespace

std::optional<CabinetFacts> ReadCabinetFacts(ImageBytes image, CabinetRefusal& refusal) {
  if (image.size() > kLargestNvmSize) {
    refusal = {TBFW_E_NO_IMAGE, nullptr, "larger than any controller's NVM (16 MiB)"};
    return std::nullopt;
  }
  NvmLayout layout;
  if (StatusCode s = ParseImageLayout(image, layout); s != kSuccess) {
    refusal = {s, nullptr, s == TBFW_E_UNKNOWN_DEVICE ? "unknown device identifier" : "no usable region"};
    return std::nullopt;
  }
  if (layout.generation == 0) {
    refusal = {TBFW_E_UNSUPPORTED_CONTROLLER, nullptr, "generation 0: no controller of it is supported"};
    return std::nullopt;
  }
  if (const NvmFieldCheck* field = FirstFieldOutside(image, layout); field != nullptr) {
    refusal = {TBFW_E_NO_IMAGE, field, "the image ends before a field every controller compares"};
    return std::nullopt;
  }
  CabinetFacts facts;
  std::uint32_t value = 0;
  ReadImageValue(image, std::uint64_t{layout.regionBase} + kDeviceIdOffset, 2, value);
  facts.deviceId = static_cast<std::uint16_t>(value);
  facts.generation = layout.generation;
  facts.reducedPorts = layout.reducedPorts;
  facts.versionMajor = static_cast<std::uint8_t>(layout.nvmVersion);
  if (ReadImageValue(image, std::uint64_t{layout.regionBase} + kNvmMinorOffset, 1, value)) {
    facts.versionMinor = static_cast<std::uint8_t>(value);
  }
  const NvmFieldCheck& native = kControllerModeChecks[0];
  if (ReadImageValue(image, std::uint64_t{layout.regionBase} + native.offset, native.length, value)) {
    facts.native = (value & native.byteMask) != 0;
  }
  if (layout.generation == kSectionGeneration) {
    // FirstFieldOutside has shown both lie inside the image.
    ReadImageValue(image, std::uint64_t{layout.section1Base} + kBoardIdentityChecks[0].offset, 2, value);
    facts.vendorId = static_cast<std::uint16_t>(value);
    ReadImageValue(image, std::uint64_t{layout.section1Base} + kBoardIdentityChecks[1].offset, 2, value);
    facts.modelId = static_cast<std::uint16_t>(value);
  }
  return facts;
}

std::string HostInstanceId(std::uint16_t vendorId, std::uint16_t modelId, bool native) {
  std::array<char, 32> id{};
  std::snprintf(id.data(), id.size(), "TBT-%04x%04x%s", static_cast<unsigned>(vendorId), static_cast<unsigned>(modelId),
                native ? "-native" : "");
  return id.data();
}

std::string NameBasedGuid(const std::string& name) {
  // The DNS namespace, 6ba7b810-9dad-11d1-80b4-00c04fd430c8, then the name.
  std::vector<std::uint8_t> message = {0x6b, 0xa7, 0xb8, 0x10, 0x9d, 0xad, 0x11, 0xd1,
                                       0x80, 0xb4, 0x00, 0xc0, 0x4f, 0xd4, 0x30, 0xc8};
  message.insert(message.end(), name.begin(), name.end());
  std::array<std::uint8_t, 20> digest = Sha1(message);
  digest[6] = static_cast<std::uint8_t>((digest[6] & 0x0F) | 0x50);  // version 5
  digest[8] = static_cast<std::uint8_t>((digest[8] & 0x3F) | 0x80);  // the RFC 4122 variant
  std::string guid;
  for (std::size_t i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) guid += '-';
    std::array<char, 3> hex{};
    std::snprintf(hex.data(), hex.size(), "%02x", static_cast<unsigned>(digest[i]));
    guid += hex.data();
  }
  return guid;
}

std::string PairVersion(std::uint8_t major, std::uint8_t minor) {
  std::array<char, 16> version{};
  std::snprintf(version.data(), version.size(), "%02x.%02x", static_cast<unsigned>(major),
                static_cast<unsigned>(minor));
  return version.data();
}

bool IsDecimalPair(const std::string& version) { return version.find_first_of("abcdef") == std::string::npos; }

std::string BuildMetainfo(const MetainfoText& text, std::span<const std::string> guids, const std::string& version,
                          const std::string& firmwareName, const std::string& sha256) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<component type=\"firmware\">\n"
      "  <id>" +
      EscapeXml(text.id) +
      "</id>\n"
      "  <name>" +
      EscapeXml(text.name) +
      "</name>\n"
      "  <summary>" +
      EscapeXml(text.summary) +
      "</summary>\n"
      "  <description><p>" +
      EscapeXml(text.summary) +
      "</p></description>\n"
      "  <provides>\n";
  for (const std::string& guid : guids) xml += "    <firmware type=\"flashed\">" + EscapeXml(guid) + "</firmware>\n";
  xml +=
      "  </provides>\n"
      "  <metadata_license>CC0-1.0</metadata_license>\n"
      "  <project_license>proprietary</project_license>\n"
      "  <releases>\n"
      "    <release urgency=\"medium\" version=\"" +
      EscapeXml(version) + "\"";
  if (!text.date.empty()) xml += " date=\"" + EscapeXml(text.date) + "\"";
  xml +=
      ">\n"
      "      <checksum filename=\"" +
      EscapeXml(firmwareName) + "\" target=\"content\" type=\"sha256\">" + sha256 +
      "</checksum>\n"
      "      <description><p>" +
      EscapeXml(text.releaseNotes) +
      "</p></description>\n"
      "    </release>\n"
      "  </releases>\n"
      "  <custom>\n"
      "    <value key=\"LVFS::VersionFormat\">pair</value>\n"
      "    <value key=\"LVFS::UpdateProtocol\">com.intel.thunderbolt</value>\n"
      "  </custom>\n"
      "</component>\n";
  return xml;
}
