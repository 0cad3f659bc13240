// The command line's number conversion against the platform runtime's own wcstol, whose
// rules it reproduces for the portable core.
#include <gtest/gtest.h>

#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/win32/wide.h"

namespace {

// clang-format off
const std::u16string kInputs[] = {
    u"411", u"0x411", u"0X7c04", u"+1f", u"-1", u"-0x10", u"7FFFFFFF", u"80000000", u"-80000000",
    u"-80000001", u"FFFFFFFFFFFFFFFFFFFFFFFF1", u"", u"zz", u"0x", u"0xg", u"- 1", u"+-1", u"12g4",
    u"\t\n\v\f\r 1a", u"\uFF11\uFF12", u"\u0661\u0660", u"\u06F1\u0967\u09E8",
    u"\u0E51\u0F22\u1041\u17E1\u1811", u"\uFF21", u"\uFF41", u"0\uFF58" u"1", u"\uFF10x1", u"00000000000411",
};
// clang-format on

// Characters that some tables call white space, each tried before a digit.
const char16_t kSpaceCandidates[] = {0x1C,   0x1D,   0x1E,   0x1F,   0x85,   0xA0,   0x1680, 0x180E, 0x2000,
                                     0x2005, 0x200A, 0x200B, 0x2028, 0x2029, 0x202F, 0x205F, 0x3000, 0xFEFF};

TEST(HexLongDifferential, MatchesTheRuntimeWcstol) {
  std::vector<std::u16string> inputs(std::begin(kInputs), std::end(kInputs));
  for (char16_t space : kSpaceCandidates) inputs.push_back(std::u16string(1, space) + u"1");
  for (const std::u16string& input : inputs) {
    const long expected = std::wcstol(AsWide(input.c_str()), nullptr, 16);
    std::string shown;
    for (char16_t c : input)
      shown += (c < 0x80 && c >= 0x20) ? std::string(1, static_cast<char>(c))
                                       : "U+" + std::to_string(static_cast<unsigned>(c)) + " ";
    EXPECT_TRUE(ParseHexLong(input.c_str()) == expected)
        << "DIFF " << shown << ": runtime " << expected << " portable " << ParseHexLong(input.c_str());
  }
}

}  // namespace
