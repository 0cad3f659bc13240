// The portable profile reader on a large file: parsing it whole, then finding a key in
// its last section.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bench/paired.h"
#include "common/profile_reader.h"

namespace {

// A UTF-16LE file with a byte-order mark: `sections` sections of `keys` keys each.
std::vector<std::uint8_t> LargeProfile(int sections, int keys) {
  std::u16string text;
  for (int s = 0; s < sections; ++s) {
    const std::string header = "[Section" + std::to_string(s) + "]\r\n";
    text.append(header.begin(), header.end());
    for (int k = 0; k < keys; ++k) {
      const std::string line = "IDS_KEY_" + std::to_string(k) + " = \"The text of key " + std::to_string(k) +
                               " in section " + std::to_string(s) + ", as a message would read.\"\r\n";
      text.append(line.begin(), line.end());
    }
  }
  std::vector<std::uint8_t> bytes{0xFF, 0xFE};
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

}  // namespace

void RegisterProfileReaderBenchmarks() {
  constexpr int kSections = 200, kKeys = 100;
  const std::vector<std::uint8_t> bytes = LargeProfile(kSections, kKeys);
  const std::u16string lastSection = u"section" + std::u16string(u"199");
  auto measured = [=](benchmark::State& state) {
    for (auto _ : state) {
      const ProfileFile file = ProfileFile::Parse(bytes);
      const auto value = file.Find(lastSection, u"ids_key_99");
      if (!value) {
        state.SkipWithError("the last key was not found");
        return;
      }
      benchmark::DoNotOptimize(value->data());
    }
  };
  auto baseline = [=](benchmark::State& state) {
    std::vector<std::uint8_t> copy(bytes.size());
    for (auto _ : state) {
      std::memcpy(copy.data(), bytes.data(), bytes.size());
      benchmark::DoNotOptimize(copy.data());
      benchmark::ClobberMemory();
    }
  };
  RegisterPaired("ProfileFile::Parse+Find/200x100-keys", measured, "baseline/copy-large-profile",
                 "memcpy of the same file (" + std::to_string(bytes.size()) + " bytes)", baseline);
}
