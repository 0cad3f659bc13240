#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ParseCase {
  const char* name;
  std::vector<std::u16string> args;  // without the program name
  std::int32_t downgradable;
  std::uint16_t language;
};

// Every case starts from the defaults the tool uses: not downgradable, language 0x0409.
const ParseCase kParseCases[] = {
    {"no arguments", {}, 0, 0x0409},
    {"upper-case downgradable", {u"/DOWNGRADABLE"}, 1, 0x0409},
    {"mixed-case downgradable", {u"/Downgradable"}, 1, 0x0409},
    {"dash is not a switch", {u"-downgradable"}, 0, 0x0409},
    {"downgradable with a value", {u"/downgradable=1"}, 0, 0x0409},
    {"downgradable prefix only", {u"/downgradabl"}, 0, 0x0409},
    {"lid lower case", {u"/lid:411"}, 0, 0x0411},
    {"lid with 0x", {u"/LID:0x411"}, 0, 0x0411},
    {"lid mixed case", {u"/Lid:804"}, 0, 0x0804},
    {"switch without number", {u"/LID:"}, 0, 0x0409},
    {"fifth character not a colon", {u"/LIDX411"}, 0, 0x0409},
    {"not hexadecimal", {u"/LID:zz"}, 0, 0x0000},
    {"low 16 bits taken", {u"/LID:12345"}, 0, 0x2345},
    {"minus one", {u"/LID:-1"}, 0, 0xFFFF},
    {"clamped high", {u"/LID:123456789"}, 0, 0xFFFF},
    {"clamped low", {u"/LID:-123456789"}, 0, 0x0000},
    {"later lid wins", {u"/LID:404", u"/LID:411"}, 0, 0x0411},
    {"digits stop at non-hex", {u"/LID:40Cz9"}, 0, 0x040C},
    {"leading white space", {u"/LID: \t0x407"}, 0, 0x0407},
    {"file name ignored", {u"image.bin", u"LID:411"}, 0, 0x0409},
    {"downgradable stays set", {u"/downgradable", u"/nothing", u"/LID:407"}, 1, 0x0407},
    {"empty argument", {u""}, 0, 0x0409},
};

TEST(ParseCommandLine, AppliesSwitchesInOrder) {
  for (const ParseCase& c : kParseCases) {
    std::vector<const char16_t*> argv{u"TbtFwUpdate.exe"};
    for (const auto& a : c.args) argv.push_back(a.c_str());
    LaunchOptions options;
    options.language = 0x0409;
    EXPECT_TRUE(ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options)) << c.name;
    EXPECT_EQ(options.downgradable, c.downgradable) << c.name;
    EXPECT_EQ(options.language, c.language) << c.name;
  }
}

TEST(ParseCommandLine, IgnoresEverythingWhenArgcIsOneOrLess) {
  const char16_t* argv[] = {u"TbtFwUpdate.exe", u"/downgradable"};
  LaunchOptions options;
  ParseCommandLine(1, argv, options);
  ParseCommandLine(0, argv, options);
  EXPECT_EQ(options.downgradable, 0);
}

struct HexCase {
  std::u16string text;
  std::int32_t value;
};

const HexCase kHexCases[] = {
    {u"411", 0x411},
    {u"0x411", 0x411},
    {u"0X7c04", 0x7C04},
    {u"+1f", 0x1F},
    {u"-1", -1},
    {u"-0x10", -16},
    {u"7FFFFFFF", INT32_MAX},
    {u"80000000", INT32_MAX},
    {u"-80000000", INT32_MIN},
    {u"-80000001", INT32_MIN},
    {u"FFFFFFFFFFFFFFFFFFFFFFFF1", INT32_MAX},
    {u"", 0},
    {u"zz", 0},
    {u"0x", 0},
    {u"0xg", 0},
    {u"- 1", 0},
    {u"+-1", 0},
    {u"12g4", 0x12},
    {u"\t\n\v\f\r 1a", 0x1A},
    {u"\u3000\u00A01", 1},
    {u"\uFF11\uFF12", 0x12},   // full-width digits
    {u"\u0661\u0660", 0x10},   // Arabic-Indic digits
    {u"\uFF21", 0},            // full-width A is no digit
};

TEST(ParseHexLong, FollowsTheRuntimeConversion) {
  for (const HexCase& c : kHexCases) {
    std::string name(c.text.begin(), c.text.end());
    EXPECT_EQ(ParseHexLong(c.text.c_str()), c.value) << "input of " << c.text.size() << " units: " << name;
  }
}

}  // namespace
