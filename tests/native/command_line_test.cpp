#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ParseCase {
  const char* name;
  std::vector<std::u16string> args;  // without the program name
  bool downgradable;
  std::uint16_t language;
};

// Every case starts from the defaults the tool uses: not downgradable, language 0x0409. How
// the number after "/LID:" is read is ParseHexLong's, checked against the runtime's wcstol
// (tests/wine/hex_long_differential_test.cpp). A switch in lower case, a later "/LID:"
// winning and a value that is no number are seen from outside (tests/cli/tbtfw_check_test.sh).
const ParseCase kParseCases[] = {
    {"no arguments", {}, 0, 0x0409},
    {"mixed-case downgradable", {u"/Downgradable"}, 1, 0x0409},
    {"dash is not a switch", {u"-downgradable"}, 0, 0x0409},
    {"downgradable with a value", {u"/downgradable=1"}, 0, 0x0409},
    {"downgradable prefix only", {u"/downgradabl"}, 0, 0x0409},
    {"switch without number", {u"/LID:"}, 0, 0x0409},
    {"fifth character not a colon", {u"/LIDX411"}, 0, 0x0409},
    {"low 16 bits taken", {u"/LID:12345"}, 0, 0x2345},
    {"file name ignored", {u"image.bin", u"LID:411"}, 0, 0x0409},
    {"downgradable stays set", {u"/downgradable", u"/nothing", u"/LID:407"}, 1, 0x0407},
    {"empty argument", {u""}, 0, 0x0409},
};

TEST(ParseCommandLine, AppliesSwitchesInOrder) {
  for (const ParseCase& c : kParseCases) {
    std::vector<const char16_t*> argv{u"TbtFwUpdate.exe"};
    for (const auto& a : c.args) argv.push_back(a.c_str());
    RunRequest options;
    options.language = 0x0409;
    ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options);
    EXPECT_EQ(options.downgradable, c.downgradable) << c.name;
    EXPECT_EQ(options.language, c.language) << c.name;
  }
}

TEST(ParseCommandLine, IgnoresEverythingWhenArgcIsOneOrLess) {
  const char16_t* argv[] = {u"TbtFwUpdate.exe", u"/downgradable"};
  RunRequest options;
  ParseCommandLine(1, argv, options);
  ParseCommandLine(0, argv, options);
  EXPECT_FALSE(options.downgradable);
}

}  // namespace
