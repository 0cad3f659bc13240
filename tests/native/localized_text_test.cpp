#include "skin/localized_text.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "skin/profile_reader.h"

namespace {

// Profile files held in memory, read with the portable reader; records what was asked.
class MemoryProfile final : public ProfileStrings {
 public:
  std::map<std::u16string, std::u16string> files;
  std::vector<std::u16string> reads;  // "section/key" of each read

  std::size_t Read(const std::u16string& path, const char16_t* section, const char16_t* key, char16_t* buffer,
                   std::size_t capacity) override {
    reads.push_back(std::u16string(section) + u"/" + key);
    buffer[0] = u'\0';
    auto it = files.find(path);
    if (it == files.end()) return 0;
    // The texts are ASCII: one byte each.
    const ProfileFile file = ProfileFile::Parse(std::vector<std::uint8_t>(it->second.begin(), it->second.end()));
    const auto value = file.Find(section, key);
    return value ? CopyProfileValue(*value, buffer, capacity) : 0;
  }
};

const std::u16string kIni = u"C:\\Tool\\data\\Update.ini";

std::u16string Text(MemoryProfile& profile, std::uint16_t language, const char16_t* key) {
  std::array<char16_t, 256> buffer;
  buffer.fill(u'#');
  LoadLocalizedTextFrom(profile, kIni, language, key, buffer.data(), buffer.size());
  return buffer.data();
}

TEST(NormalizeLanguage, FoldsSublanguages) {
  const std::pair<std::uint16_t, std::uint16_t> cases[] = {
      {0x0404, 0x0404}, {0x0C04, 0x0404}, {0x1404, 0x0404}, {0x0804, 0x0804}, {0x1004, 0x0804},
      {0x0004, 0x0004}, {0x0416, 0x0416}, {0x0816, 0x0816}, {0x0809, 0x0409}, {0x0C0C, 0x040C},
      {0x0411, 0x0411}, {0x0000, 0x0400}, {0xFFFF, 0x07FF},
  };
  for (auto [in, out] : cases) EXPECT_EQ(NormalizeLanguage(in), out) << std::hex << in;
}

TEST(IniPathBesideModule, ReplacesTheFileName) {
  EXPECT_EQ(IniPathBesideModule(u"C:\\Tool\\TbtFwUpdate.exe"), u"C:\\Tool\\data\\Update.ini");
  EXPECT_EQ(IniPathBesideModule(u"TbtFwUpdate.exe"), u"TbtFwUpdate.exedata\\Update.ini");
  // Folder, backslash and "data\Update.ini" must leave room for the terminator.
  EXPECT_EQ(IniPathBesideModule(std::u16string(1007, u'a') + u"\\x.exe").value_or(u"").size(), 1023u);
  EXPECT_FALSE(IniPathBesideModule(std::u16string(1008, u'a') + u"\\x.exe"));
}

struct TextCase {
  const char* rule;
  std::u16string languages;  // the body of section "Language"
  std::uint16_t language;
  std::u16string expected;
};

// Each section's text names the section, so the case shows which one was read.
const std::u16string kSections =
    u"[EN]\nIDS_X=en\nIDS_ONLY_EN=only\n[FR]\nIDS_X=fr\n[ZHT]\nIDS_X=zht\n[PTBR]\nIDS_X=ptbr\n[HK]\nIDS_X=hk\n"
    u"[NEUTRAL]\nIDS_X=neutral\n[LONGNAME1]\nIDS_X=nine\n";

// A language without an entry falling back to 0x409 is seen on the shipped texts
// (tests/cli/tbtfw_check_test.sh).
const TextCase kTextCases[] = {
    {"Hong Kong reads 0x404, not its own entry", u"0x409=EN\n0x404=ZHT\n0xC04=HK\n", 0x0C04, u"zht"},
    {"neutral Traditional kept", u"0x409=EN\n0x404=ZHT\n0x7C04=NEUTRAL\n", 0x7C04, u"neutral"},
    {"Portugal never reads Brazil", u"0x409=EN\n0x416=PTBR\n", 0x0816, u"en"},
    {"empty entry falls back", u"0x40C=\n0x409=EN\n", 0x040C, u"en"},
    {"no entry at all", u"0x40C=FR\n", 0x0411, u""},
    {"section name cut to nine", u"0x409=LONGNAME12\n", 0x0409, u"nine"},
    {"quoted section name", u"0x409=\"FR\"\n", 0x0409, u"fr"},
};

TEST(LoadLocalizedText, ChoosesTheSectionByLanguage) {
  for (const TextCase& c : kTextCases) {
    MemoryProfile profile;
    profile.files[kIni] = u"[Language]\n" + c.languages + kSections;
    EXPECT_EQ(Text(profile, c.language, u"IDS_X"), c.expected) << c.rule;
  }
}

TEST(LoadLocalizedText, FallsBackOnlyForTheLanguageEntryAndCutsTheText) {
  MemoryProfile profile;
  profile.files[kIni] = u"[Language]\n0x409=EN\n0x40C=FR\n" + kSections;
  EXPECT_EQ(Text(profile, 0x040C, u"IDS_ONLY_EN"), u"");
  EXPECT_EQ(profile.reads, (std::vector<std::u16string>{u"Language/0x40C", u"FR/IDS_ONLY_EN"}));
  std::array<char16_t, 2> buffer{};
  LoadLocalizedTextFrom(profile, kIni, 0x0409, u"IDS_ONLY_EN", buffer.data(), buffer.size());
  EXPECT_EQ(std::u16string(buffer.data()), u"o");
}

}  // namespace
