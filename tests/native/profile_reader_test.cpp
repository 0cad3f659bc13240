#include "skin/profile_reader.h"

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

std::vector<std::uint8_t> ByteFile(std::string_view text) { return {text.begin(), text.end()}; }

std::u16string Lookup(const std::vector<std::uint8_t>& file, std::u16string_view section, std::u16string_view key,
                      std::size_t capacity = 256) {
  const ProfileFile profile = ProfileFile::Parse(file);
  std::vector<char16_t> buffer(capacity + 1, u'#');
  const auto value = profile.Find(section, key);
  if (!value) return u"<none>";
  const std::size_t n = CopyProfileValue(*value, buffer.data(), capacity);
  EXPECT_EQ(buffer[n], u'\0');
  return std::u16string(buffer.data(), n);
}

struct LookupCase {
  const char* rule;
  std::u16string file;
  std::u16string section;
  std::u16string key;
  std::size_t capacity;
  std::u16string expected;
};

const LookupCase kCases[] = {
    {"plain", u"[S]\r\nk=v\r\n", u"S", u"k", 256, u"v"},
    {"section case", u"[Language]\nk=v\n", u"LANGUAGE", u"k", 256, u"v"},
    {"key case", u"[S]\nIds_Update=v\n", u"S", u"IDS_UPDATE", 256, u"v"},
    {"non-ASCII case", u"[Ünïcode]\nКлюч=v\n", u"üNÏCODE", u"ключ", 256, u"v"},
    {"white space around names", u"  [S]  \n  k  =  v w  \n", u" S ", u" k ", 256, u"v w"},
    {"space inside brackets trimmed", u"[ S ]\nk=v\n", u"S", u"k", 256, u"v"},
    {"name ends at last bracket", u"[a]b]tail\nk=v\n", u"a]b", u"k", 256, u"v"},
    {"header without bracket is an entry", u"[S]\n[T\nk=v\n", u"S", u"k", 256, u"v"},
    {"first section wins", u"[S]\nk=1\n[S]\nk=2\nj=3\n", u"S", u"j", 256, u"<none>"},
    {"first key wins", u"[S]\nk=1\nK=2\n", u"S", u"k", 256, u"1"},
    {"value keeps later equals", u"[S]\nk=a=b\n", u"S", u"k", 256, u"a=b"},
    {"empty value", u"[S]\nk=\n", u"S", u"k", 256, u""},
    {"line without equals has no value", u"[S]\nk\n", u"S", u"k", 256, u"<none>"},
    {"before any section", u"k=v\n[S]\n", u"", u"k", 256, u"v"},
    {"empty key never found", u"[S]\n=v\n", u"S", u"", 256, u"<none>"},
    {"comment line is a key of its own", u"[S]\n;k=v\n", u"S", u"k", 256, u"<none>"},
    {"double quotes removed", u"[S]\nk=\"a b\"\n", u"S", u"k", 256, u"a b"},
    {"single quotes removed", u"[S]\nk='a'\n", u"S", u"k", 256, u"a"},
    {"one pair only", u"[S]\nk=\"\"a\"\"\n", u"S", u"k", 256, u"\"a\""},
    {"unmatched quotes kept", u"[S]\nk=\"a'\n", u"S", u"k", 256, u"\"a'"},
    {"lone quote kept", u"[S]\nk=\"\n", u"S", u"k", 256, u"\""},
    {"cut to capacity", u"[S]\nk=abcdef\n", u"S", u"k", 4, u"abc"},
    {"capacity one", u"[S]\nk=abc\n", u"S", u"k", 1, u""},
    {"quotes removed before the cut", u"[S]\nk=\"abcd\"\n", u"S", u"k", 4, u"abc"},
    {"LF line ends", u"[S]\nk=v\nj=w", u"S", u"j", 256, u"w"},
    {"no trailing newline", u"[S]\r\nk=v", u"S", u"k", 256, u"v"},
    {"CR alone ends a line", u"[S]\rk=v\r", u"S", u"k", 256, u"v"},
    {"Ctrl-Z is white space", u"[S]\nk=v\x1A\n", u"S", u"k", 256, u"v"},
    {"ideographic space is text", u"[S]\nk=\u3000v\u3000\n", u"S", u"k", 256, u"\u3000v\u3000"},
    {"tabs trimmed", u"[S]\n\tk\t=\tv\t\n", u"S", u"k", 256, u"v"},
    {"empty file", u"", u"S", u"k", 256, u"<none>"},
};

TEST(ProfileFile, FindsValuesAsTheSystemDoes) {
  for (const LookupCase& c : kCases) {
    EXPECT_EQ(Lookup(Utf16File(c.file), c.section, c.key, c.capacity), c.expected) << c.rule;
  }
}

TEST(ProfileFile, ReadsSingleByteFilesAsWindows1252) {
  const auto file = ByteFile("[S]\r\nk=caf\xE9 \x80 \x93x\x94\r\n");
  EXPECT_EQ(Lookup(file, u"S", u"k"), u"café € “x”");
}

TEST(ProfileFile, TreatsAUtf8MarkAsText) {
  // Windows reads such a file as single-byte text: the mark belongs to the first line.
  const auto file = ByteFile("\xEF\xBB\xBF[S]\nk=v\n[T]\nk=w\n");
  EXPECT_EQ(Lookup(file, u"S", u"k"), u"<none>");
  EXPECT_EQ(Lookup(file, u"T", u"k"), u"w");
}

TEST(ProfileFile, IgnoresAnOddTrailingByteOfUtf16) {
  auto file = Utf16File(u"[S]\nk=v");
  file.push_back(0x41);
  EXPECT_EQ(Lookup(file, u"S", u"k"), u"v");
}

TEST(ProfileFile, ReadsVeryLongLines) {
  const std::u16string value(100000, u'z');
  EXPECT_EQ(Lookup(Utf16File(u"[S]\nk=" + value + u"\n"), u"S", u"k", 300000), value);
}

TEST(CopyProfileValue, WritesNothingWithoutRoom) {
  std::array<char16_t, 2> buffer{u'#', u'#'};
  EXPECT_EQ(CopyProfileValue(u"abc", buffer.data(), 0), 0u);
  EXPECT_EQ(buffer[0], u'#');
  EXPECT_EQ(CopyProfileValue(u"abc", nullptr, 2), 0u);
}

}  // namespace
