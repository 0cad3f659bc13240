#include "common/number_text.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct NumberCase {
  const char16_t* text;
  std::optional<std::uint32_t> number;     // ParseNumber(text)
  std::optional<std::uint32_t> hexNumber;  // ParseHexNumber(text, 0xFFFF)
};

TEST(NumberText, TakesWholeNumbersOnly) {
  const NumberCase cases[] = {
      {u"0", 0u, 0u},
      {u"4294967295", 4294967295u, std::nullopt},
      {u"4294967296", std::nullopt, std::nullopt},
      {u"0xFFFFFFFF", 0xFFFFFFFFu, std::nullopt},
      {u"0x100000000", std::nullopt, std::nullopt},
      {u"0X1a", 0x1Au, 0x1Au},
      {u"409", 409u, 0x409u},
      {u"FFFF", std::nullopt, 0xFFFFu},
      {u"0x10000", 0x10000u, std::nullopt},
      {u"0x", std::nullopt, std::nullopt},
      {u"", std::nullopt, std::nullopt},
      {u" 1", std::nullopt, std::nullopt},
      {u"1 ", std::nullopt, std::nullopt},
      {u"-1", std::nullopt, std::nullopt},
      {u"0x0x1", std::nullopt, std::nullopt},
      {u"\uFF11", std::nullopt, std::nullopt},  // a full-width digit one
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    EXPECT_EQ(ParseNumber(c.text), c.number);
    EXPECT_EQ(ParseHexNumber(c.text, 0xFFFF), c.hexNumber);
  }
}

}  // namespace
