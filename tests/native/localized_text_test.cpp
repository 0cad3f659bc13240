#include "skin/localized_text.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "app/status_message.h"
#include "platform/profile_file_strings.h"
#include "common/profile_reader.h"

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

// Every language id Windows has for a shipped language, neutral ids included, with the
// section its users must read. Written out here, not taken from the file, so an entry
// dropped from the file's "Language" section shows as a failing row.
struct RegionalCase {
  std::uint16_t language;
  const char16_t* section;
};

const RegionalCase kRegionalCases[] = {
    {0x0409, u"English"},  {0x0009, u"English"},  {0x0809, u"English"},  {0x0C09, u"English"},  {0x1009, u"English"},
    {0x1409, u"English"},  {0x1809, u"English"},  {0x1C09, u"English"},  {0x2009, u"English"},  {0x2409, u"English"},
    {0x2809, u"English"},  {0x2C09, u"English"},  {0x3009, u"English"},  {0x3409, u"English"},  {0x3809, u"English"},
    {0x3C09, u"English"},  {0x4009, u"English"},  {0x4409, u"English"},  {0x4809, u"English"},  {0x4C09, u"English"},
    {0x0407, u"German"},   {0x0007, u"German"},   {0x0807, u"German"},   {0x0C07, u"German"},   {0x1007, u"German"},
    {0x1407, u"German"},   {0x040C, u"French"},   {0x000C, u"French"},   {0x080C, u"French"},   {0x0C0C, u"French"},
    {0x100C, u"French"},   {0x140C, u"French"},   {0x180C, u"French"},   {0x1C0C, u"French"},   {0x200C, u"French"},
    {0x240C, u"French"},   {0x280C, u"French"},   {0x2C0C, u"French"},   {0x300C, u"French"},   {0x340C, u"French"},
    {0x380C, u"French"},   {0x3C0C, u"French"},   {0x0411, u"Japanese"}, {0x0011, u"Japanese"}, {0x0804, u"SChinese"},
    {0x0004, u"SChinese"}, {0x7804, u"SChinese"}, {0x1004, u"SChinese"}, {0x0404, u"TChinese"}, {0x7C04, u"TChinese"},
    {0x0C04, u"TChinese"}, {0x1404, u"TChinese"}, {0x0C0A, u"Spanish"},  {0x000A, u"Spanish"},  {0x040A, u"Spanish"},
    {0x080A, u"Spanish"},  {0x100A, u"Spanish"},  {0x140A, u"Spanish"},  {0x180A, u"Spanish"},  {0x1C0A, u"Spanish"},
    {0x200A, u"Spanish"},  {0x240A, u"Spanish"},  {0x280A, u"Spanish"},  {0x2C0A, u"Spanish"},  {0x300A, u"Spanish"},
    {0x340A, u"Spanish"},  {0x380A, u"Spanish"},  {0x3C0A, u"Spanish"},  {0x400A, u"Spanish"},  {0x440A, u"Spanish"},
    {0x480A, u"Spanish"},  {0x4C0A, u"Spanish"},  {0x500A, u"Spanish"},  {0x540A, u"Spanish"},  {0x580A, u"Spanish"},
    {0x5C0A, u"Spanish"},  {0x0416, u"PortugBR"}, {0x0016, u"PortugBR"}, {0x0816, u"PortugPT"}, {0x0410, u"Italian"},
    {0x0010, u"Italian"},  {0x0810, u"Italian"},  {0x0412, u"Korean"},   {0x0012, u"Korean"},   {0x0419, u"Russian"},
    {0x0019, u"Russian"},  {0x0819, u"Russian"},  {0x0415, u"Polish"},   {0x0015, u"Polish"},   {0x0413, u"Dutch"},
    {0x0013, u"Dutch"},    {0x0813, u"Dutch"},    {0x041F, u"Turkish"},  {0x001F, u"Turkish"},  {0x0401, u"Arabic"},
    {0x0001, u"Arabic"},   {0x0801, u"Arabic"},   {0x0C01, u"Arabic"},   {0x1001, u"Arabic"},   {0x1401, u"Arabic"},
    {0x1801, u"Arabic"},   {0x1C01, u"Arabic"},   {0x2001, u"Arabic"},   {0x2401, u"Arabic"},   {0x2801, u"Arabic"},
    {0x2C01, u"Arabic"},   {0x3001, u"Arabic"},   {0x3401, u"Arabic"},   {0x3801, u"Arabic"},   {0x3C01, u"Arabic"},
    {0x4001, u"Arabic"},   {0x040D, u"Hebrew"},   {0x000D, u"Hebrew"},
};

// The log tells outcomes in the program's own English, never the file's: the two must
// say the same, or the log and the window would differ for the English user.
TEST(ShippedTexts, TheBuiltInEnglishIsTheShippedEnglish) {
  ProfileFileStrings profile;
  const std::u16string ini = u"" TBTFW_SHIPPED_INI;
  for (const char16_t* key : {u"IDS_SUCCESS", u"IDS_FIND_NO_SW", u"IDS_DOWNGRADE", u"IDS_ERROR"}) {
    std::array<char16_t, 256> shipped{}, builtIn{};
    profile.Read(ini, u"English", key, shipped.data(), shipped.size());
    BuiltInText(key, builtIn.data(), builtIn.size());
    EXPECT_NE(shipped[0], u'\0');
    EXPECT_EQ(std::u16string(builtIn.data()), std::u16string(shipped.data()));
  }
}

// The shipped file through the real lookup: each id reads its own language's prompt, and
// no id but English's reads the English one.
TEST(ShippedTexts, EveryRegionalIdReadsItsOwnLanguage) {
  ProfileFileStrings profile;
  const std::u16string ini = u"" TBTFW_SHIPPED_INI;
  std::array<char16_t, 256> english{};
  profile.Read(ini, u"English", u"IDS_PROMPT", english.data(), english.size());
  ASSERT_NE(english[0], u'\0') << "no English prompt in " << TBTFW_SHIPPED_INI;
  for (const RegionalCase& c : kRegionalCases) {
    std::array<char16_t, 256> expected{}, shown{};
    profile.Read(ini, c.section, u"IDS_PROMPT", expected.data(), expected.size());
    LoadLocalizedTextFrom(profile, ini, c.language, u"IDS_PROMPT", shown.data(), shown.size());
    EXPECT_NE(expected[0], u'\0') << std::hex << c.language << ": no prompt in its section";
    EXPECT_EQ(std::u16string(shown.data()), std::u16string(expected.data())) << std::hex << c.language;
    if (std::u16string_view(c.section) != u"English") {
      EXPECT_NE(std::u16string(shown.data()), std::u16string(english.data())) << std::hex << c.language;
    }
  }
}

}  // namespace
