// The portable profile reader against the system's GetPrivateProfileStringW, on a corpus of
// awkward files. Every section and key of each file is asked for in several spellings and
// buffer sizes; the two must agree except where the system here (Wine) is known to differ
// from Windows, listed below with what Windows does.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/profile_strings_win32.h"
#include "platform/win32/wide.h"
#include "platform/profile_file_strings.h"

namespace {

enum class Encoding { kUtf16Le, kCp1252Bytes, kUtf8WithMark, kUtf16BeWithMark };

struct CorpusFile {
  const char* name;
  Encoding encoding;
  std::u16string text;  // for kCp1252Bytes only code points below 0x100
  std::vector<std::u16string> sections;
  std::vector<std::u16string> keys;
};

// UTF-16 after its byte-order mark in either order, or one byte a character.
std::string Bytes(const CorpusFile& file) {
  const bool utf16 = file.encoding == Encoding::kUtf16Le || file.encoding == Encoding::kUtf16BeWithMark;
  const bool bigEndian = file.encoding == Encoding::kUtf16BeWithMark;
  std::string out = file.encoding == Encoding::kUtf8WithMark ? "\xEF\xBB\xBF" : "";
  for (char16_t c : utf16 ? u"\uFEFF" + file.text : file.text) {
    const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
    if (!utf16) out += low;
    else out += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return out;
}

const std::vector<CorpusFile>& Corpus() {
  static const std::vector<CorpusFile> corpus = {
      {"crlf", Encoding::kUtf16Le, u"[S]\r\nk=v\r\nj=w\r\n", {u"S", u"T"}, {u"k", u"j", u"x"}},
      {"lf-no-final-newline", Encoding::kUtf16Le, u"[S]\nk=v\nj=w", {u"S"}, {u"k", u"j"}},
      {"cr-only", Encoding::kUtf16Le, u"[S]\rk=v\r[T]\rj=w\r", {u"S", u"T"}, {u"k", u"j"}},
      {"duplicate-sections", Encoding::kUtf16Le, u"[S]\nk=1\n[s]\nk=2\nj=3\n", {u"S"}, {u"k", u"j"}},
      {"duplicate-keys", Encoding::kUtf16Le, u"[S]\nk=1\nK=2\n", {u"S"}, {u"k"}},
      {"white-space",
       Encoding::kUtf16Le,
       u"  [S]  \n  k  =  v w  \n\t[T]\t\n\tk\t=\t\"q\"\t\n[U]\nk=\u3000u\u3000\nj=v\x1A\n",
       {u"S", u" S ", u"T", u"U"},
       {u"k", u" k\t", u"j"}},
      {"quotes",
       Encoding::kUtf16Le,
       u"[Q]\nd=\"a b\"\ns='a'\nn=\"\"a\"\"\nu=\"a'\nl=\"\ne=\"\"\nq=\"abcd\"\nm=a\"b\"\n",
       {u"Q"},
       {u"d", u"s", u"n", u"u", u"l", u"e", u"q", u"m"}},
      {"comments", Encoding::kUtf16Le, u"; comment\n[C]\n;k=v\nk=w\n# h=x\n", {u"C"}, {u"k", u";k", u"# h", u"h"}},
      {"empty-values", Encoding::kUtf16Le, u"[E]\nk=\nj\n=v\ni = \nm=a=b\n", {u"E"}, {u"k", u"j", u"i", u"m"}},
      {"odd-headers",
       Encoding::kUtf16Le,
       u"[a]b]tail\nk=v\n[ S ]\nk=v2\n[T\nk=v3\n[]\nk=v4\n",
       {u"a]b", u"a", u"S", u" S ", u"T", u""},
       {u"k", u"[T"}},
      {"before-any-section", Encoding::kUtf16Le, u"k=top\n[S]\nk=v\n", {u"", u"S"}, {u"k"}},
      {"long-line", Encoding::kUtf16Le, u"[L]\nk=" + std::u16string(5000, u'x') + u"\nj=y\n", {u"L"}, {u"k", u"j"}},
      {"non-ascii-case", Encoding::kUtf16Le, u"[Ünïcode]\nКлюч=v\nΣίγμα=w\n", {u"Ünïcode"}, {u"Ключ", u"Σίγμα"}},
      {"language-table",
       Encoding::kUtf16Le,
       u"[Language]\n0x409=English\n0x40C=LongerThanNine\n[English]\nIDS_X=Hello\n",
       {u"Language", u"English"},
       {u"0x409", u"0x40C", u"0x40c", u"IDS_X"}},
      {"cp1252",
       Encoding::kCp1252Bytes,
       u"[S]\r\nk=caf\u00E9 \u0080 \u0093x\u0094\r\nj=\u00FF\r\n",
       {u"S"},
       {u"k", u"j"}},
      {"empty", Encoding::kUtf16Le, u"", {u"S"}, {u"k"}},
      {"utf8-mark", Encoding::kUtf8WithMark, u"[S]\nk=v\n[T]\nk=w\n", {u"S", u"T"}, {u"k"}},
      {"utf16be-mark", Encoding::kUtf16BeWithMark, u"[S]\nk=v\n", {u"S"}, {u"k"}},
  };
  return corpus;
}

// Where Wine 8 differs from Windows. The portable reader does what Windows does; the row
// pins what Wine returns, so a change on either side is noticed.
struct KnownDifference {
  const char* file;
  std::vector<std::u16string> sections;  // the spellings asked for
  std::vector<std::u16string> keys;
  std::size_t capacity;  // 0: every capacity, the values cut to it
  std::u16string windows;
  std::u16string wine;
  const char* why;
};

const char kMarkWhy[] =
    "Windows recognises only the UTF-16LE mark and reads any other file as single-byte text, "
    "so a UTF-8 mark becomes three characters of the first line, which then is no section "
    "header. Wine also decodes UTF-8 and big-endian UTF-16.";
const char kQuoteWhy[] =
    "A quoted value one unit longer than the buffer holds: Windows removes the quotes and "
    "cuts the value; Wine 8 cuts first and then drops one character too many.";
const char kCaseWhy[] =
    "Windows compares names with its Unicode upper-case table; Wine 8 ignores the case of "
    "ASCII letters only.";

const std::vector<KnownDifference>& KnownDifferences() {
  static const std::vector<KnownDifference> rows = {
      {"utf8-mark", {u"S", u"s"}, {u"k", u"K"}, 0, u"", u"v", kMarkWhy},
      {"utf16be-mark", {u"S", u"s"}, {u"k", u"K"}, 0, u"", u"v", kMarkWhy},
      {"quotes", {u"Q", u"q"}, {u"d", u"D"}, 4, u"a b", u"a ", kQuoteWhy},
      {"quotes", {u"Q", u"q"}, {u"n", u"N"}, 4, u"\"a\"", u"\"a", kQuoteWhy},
      {"quotes", {u"Q", u"q"}, {u"s", u"S"}, 2, u"a", u"", kQuoteWhy},
      {"white-space", {u"T", u"t"}, {u"k", u"K", u" k\t", u" K\t"}, 2, u"q", u"", kQuoteWhy},
      // Only (upper section, lower key) and (lower section, upper key) are asked for.
      {"non-ascii-case", {u"ÜNÏCODE", u"ünïcode"}, {u"ключ", u"КЛЮЧ"}, 0, u"v", u"", kCaseWhy},
      {"non-ascii-case", {u"ÜNÏCODE", u"ünïcode"}, {u"σίγμα", u"ΣΊΓΜΑ"}, 0, u"w", u"", kCaseWhy},
  };
  return rows;
}

// `s` in the system's upper or lower case.
std::u16string Cased(std::u16string s, bool upper) {
  if (!s.empty()) (upper ? CharUpperBuffW : CharLowerBuffW)(AsWide(s.data()), static_cast<DWORD>(s.size()));
  return s;
}

std::wstring TempFolder() {
  std::array<wchar_t, MAX_PATH> path{};
  GetTempPathW(static_cast<DWORD>(path.size()), path.data());
  std::wstring folder = std::wstring(path.data()) + L"tbtfw-profile-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::string Narrow(const std::u16string& s) {
  std::string out;
  char unit[8];
  for (char16_t c : s) out.append(unit, std::snprintf(unit, sizeof unit, c >= 0x20 && c < 0x80 ? "%c" : "\\u%04X", c));
  return out;
}

const KnownDifference* FindDifference(const char* file, const std::u16string& section, const std::u16string& key,
                                      std::size_t capacity) {
  for (const KnownDifference& d : KnownDifferences()) {
    if (std::string(d.file) == file && std::ranges::count(d.sections, section) != 0 &&
        std::ranges::count(d.keys, key) != 0 && (d.capacity == 0 || d.capacity == capacity)) {
      return &d;
    }
  }
  return nullptr;
}

TEST(ProfileDifferential, PortableReaderAgreesWithTheSystem) {
  const std::wstring folder = TempFolder();
  Win32ProfileStrings system;
  ProfileFileStrings portable;
  for (const CorpusFile& file : Corpus()) {
    const std::wstring wpath = folder + L"\\" + std::wstring(file.name, file.name + strlen(file.name)) + L".ini";
    std::ofstream(wpath.c_str(), std::ios::binary) << Bytes(file);
    const std::u16string path = AsUtf16(wpath.c_str());
    for (const std::u16string& section : file.sections) {
      for (const std::u16string& key : file.keys) {
        for (const auto& [s, k] : {std::pair{section, key}, std::pair{Cased(section, true), Cased(key, false)},
                                   std::pair{Cased(section, false), Cased(key, true)}}) {
          for (std::size_t capacity :
               {std::size_t{1}, std::size_t{2}, std::size_t{4}, std::size_t{10}, std::size_t{6000}}) {
            std::vector<char16_t> fromSystem(capacity, u'#');
            std::vector<char16_t> fromPortable(capacity, u'#');
            system.Read(path, s.c_str(), k.c_str(), fromSystem.data(), capacity);
            portable.Read(path, s.c_str(), k.c_str(), fromPortable.data(), capacity);
            const std::u16string a = fromSystem.data();
            const std::u16string b = fromPortable.data();
            const std::string where =
                std::string(file.name) + " [" + Narrow(s) + "] " + Narrow(k) + " capacity " + std::to_string(capacity);
            if (const KnownDifference* d = FindDifference(file.name, s, k, capacity)) {
              EXPECT_EQ(b, d->windows.substr(0, capacity - 1)) << where << ": " << d->why;
              EXPECT_EQ(a, d->wine.substr(0, capacity - 1)) << where << ": Wine changed: " << d->why;
              continue;
            }
            EXPECT_TRUE(a == b) << "DIFF " << where << ": system <" << Narrow(a) << "> portable <" << Narrow(b) << ">";
          }
        }
      }
    }
    DeleteFileW(wpath.c_str());
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
