#include "app/log_text.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/run_log.h"
#include "tests/native/memory_log.h"

namespace {

// What reaches the log of each value from outside: controls, direction marks and lone
// surrogate halves as text, everything else as it was.
TEST(LogText, EscapesControlsAndDirectionMarks) {
  struct Case {
    std::u16string value;
    std::string expected;
  };
  const Case cases[] = {
      {u"C:\\Tools\\data\\fw.bin", "C:\\Tools\\data\\fw.bin"},
      {u"a\u001B[2Jb\u0007", "a\\u{1B}[2Jb\\u{7}"},
      {u"line\r\nnext\t", "line\\u{D}\\u{A}next\\u{9}"},
      {std::u16string(u"nul\0!", 5), "nul\\u{0}!"},
      {u"\u001F \u0020\u007E", "\\u{1F}  ~"},
      {u"\u007F\u0080\u009B\u009F\u00A0", "\\u{7F}\\u{80}\\u{9B}\\u{9F}\u00A0"},
      {u"gpj.\u202Eexe", "gpj.\\u{202E}exe"},
      {u"\u200D\u200E\u200F\u2010", "\u200D\\u{200E}\\u{200F}\u2010"},
      {u"\u2029\u202A\u202B\u202C\u202D\u202F", "\\u{2029}\\u{202A}\\u{202B}\\u{202C}\\u{202D}\u202F"},
      {u"\u2065\u2066\u2067\u2068\u2069\u206A", "\u2065\\u{2066}\\u{2067}\\u{2068}\\u{2069}\u206A"},
      {u"\u061B\u061C\u2027\u2028", "\u061B\\u{61C}\u2027\\u{2028}"},
      {u"Français 日本語 עברית", "Français 日本語 עברית"},
      {u"\U0001F600", "\U0001F600"},
      {u"a\xD800"
       u"b\xDC00",
       "a\\u{D800}b\\u{DC00}"},
      {u"\xDBFF", "\\u{DBFF}"},
      {u"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(LogText(c.value), c.expected) << c.expected;
}

// Every line that carries a value from outside writes it escaped.
TEST(RunLog, WritesOutsideValuesEscaped) {
  struct Row {
    const char* name;
    std::function<void(RunLog&, std::u16string_view)> write;
  };
  const Row rows[] = {
      {"command line", [](RunLog& log, std::u16string_view v) { log.Start("1.0", v); }},
      {"message", [](RunLog& log, std::u16string_view v) { log.Status(0, v); }},
      {"controller id", [](RunLog& log, std::u16string_view v) { log.OnController(v, 1); }},
      {"image path", [](RunLog& log, std::u16string_view v) { log.OnImage(v, {}); }},
  };
  for (const Row& row : rows) {
    MemoryLog file;
    RunLog log(&file);
    row.write(log, u"x\u001B]0;y\u0007\u202Ez");
    EXPECT_NE(file.text.find("x\\u{1B}]0;y\\u{7}\\u{202E}z"), std::string::npos) << row.name << ": " << file.text;
  }
}

}  // namespace
