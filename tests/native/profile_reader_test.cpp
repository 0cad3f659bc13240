// The lookup rules are checked against the system's own GetPrivateProfileStringW on a corpus
// of files (tests/wine/profile_differential_test.cpp); here, what that corpus cannot hold.
#include "common/profile_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Utf16File(std::u16string_view text) {
  std::vector<std::uint8_t> bytes{0xFF, 0xFE};
  for (char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}

TEST(ProfileFile, ReadsVeryLongLinesAndIgnoresAnOddTrailingByteOfUtf16) {
  const std::u16string value(100000, u'z');
  auto bytes = Utf16File(u"[S]\nk=" + value + u"\nj=v");
  bytes.push_back(0x41);
  const ProfileFile file = ProfileFile::Parse(bytes);
  EXPECT_EQ(file.Find(u"S", u"k").value_or(u"<none>"), value);
  EXPECT_EQ(file.Find(u"S", u"j").value_or(u"<none>"), u"v");
}

// Wine 8's GetPrivateProfileStringW gives the value of a "=v" line for the empty key; this
// reader gives nothing. The tool never asks for an empty key.
TEST(ProfileFile, NeverFindsTheEmptyKey) { EXPECT_FALSE(ProfileFile::Parse(Utf16File(u"[S]\n=v\n")).Find(u"S", u"")); }

TEST(CopyProfileValue, WritesNothingWithoutRoom) {
  std::array<char16_t, 2> buffer{u'#', u'#'};
  EXPECT_EQ(CopyProfileValue(u"abc", buffer.data(), 0), 0u);
  EXPECT_EQ(buffer[0], u'#');
  EXPECT_EQ(CopyProfileValue(u"abc", nullptr, 2), 0u);
}

}  // namespace
