// LoadLocalizedTextFrom on the shipped data/Update.ini, through the portable profile
// reader, which reads and parses the file at every lookup (as the system's own profile
// functions do).
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/paired.h"
#include "skin/localized_text.h"
#include "platform/profile_file_strings.h"

namespace {

struct TextCase {
  const char* name;
  std::uint16_t language;
  const char16_t* key;
};

// The language section's first key and its last one, a language through the Chinese
// folding, and one without an entry that falls back to English.
constexpr TextCase kTextCases[] = {
    {"english-first-key", 0x0409, u"IDS_UPDATE"},
    {"english-last-key", 0x0409, u"IDS_ERROR"},
    {"japanese", 0x0411, u"IDS_SUCCESS"},
    {"traditional-chinese-hk", 0x0C04, u"IDS_PROMPT"},
    {"fallback-to-english", 0x0419, u"IDS_CAUTION"},
};

const std::string kIniPath = TBTFW_UPDATE_INI;

void ReadFileBytes(benchmark::State& state) {
  for (auto _ : state) {
    std::ifstream in(kIniPath, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    benchmark::DoNotOptimize(bytes.data());
  }
}

}  // namespace

void RegisterLocalizedTextBenchmarks() {
  const std::u16string path(kIniPath.begin(), kIniPath.end());
  for (const TextCase& c : kTextCases) {
    auto measured = [=](benchmark::State& state) {
      ProfileFileStrings profile;
      char16_t buffer[kPathCapacity];
      for (auto _ : state) {
        LoadLocalizedTextFrom(profile, path, c.language, c.key, buffer, kPathCapacity);
        benchmark::DoNotOptimize(buffer);
      }
      if (buffer[0] == u'\0') state.SkipWithError("no text found");
    };
    RegisterPaired(std::string("LoadLocalizedTextFrom/") + c.name, measured, "baseline/read-Update.ini",
                   "reading data/Update.ini's bytes once", ReadFileBytes);
  }
}
