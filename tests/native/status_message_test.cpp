#include "app/status_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

namespace {

// The three outcomes with texts of their own, and the error text's key, are seen through
// the window's run (update_run_test.cpp); here, how the error text and the code share the
// caller's buffer.
TEST(FormatStatusMessage, ErrorTextAndCodeShareTheBuffer) {
  struct Case {
    const char* name;
    StatusCode status;
    std::u16string text;  // of IDS_ERROR
    std::u16string message;
  };
  const std::u16string fills(kMessageCapacity - 1, u'x'), fitsWithCode(kMessageCapacity - 14, u'y');
  const Case cases[] = {
      {"hex digits in capitals", 0xABCDEF01, u"Failed", u"Failed (0XABCDEF01)"},
      {"no error text", TBFW_E_FIELD_MISMATCH, u"", u" (0X10430006)"},
      {"text and code just fit", 5, fitsWithCode, fitsWithCode + u" (0X00000005)"},
      {"the code cut off a full text", TBFW_E_FIELD_MISMATCH, fills, fills},
  };
  for (const Case& c : cases) {
    std::array<char16_t, kMessageCapacity + 8> buffer;
    buffer.fill(u'#');
    const auto lookup = [&](const char16_t* key, char16_t* out, std::size_t capacity) {
      std::fill(out, out + capacity, u'\0');
      if (key == std::u16string_view(u"IDS_ERROR"))
        std::copy_n(c.text.begin(), std::min(c.text.size(), capacity - 1), out);
    };
    FormatStatusMessage(c.status, lookup, buffer.data(), kMessageCapacity);
    EXPECT_EQ(std::u16string(buffer.data()), c.message) << c.name;
    EXPECT_EQ(buffer[kMessageCapacity], u'#') << c.name;  // nothing past the buffer the caller named
  }
}

// Update.ini may be edited by whoever can write it: the success text put under a
// failure's key never tells a failed run as a success; the built-in text is told instead.
// Every other text, a success's own among them, is the file's.
TEST(FormatStatusMessage, NoFailureReadsAsASuccess) {
  const std::u16string success = u"Erfolgreich aktualisiert.";
  struct Case {
    const char* name;
    StatusCode status;
    std::u16string errorText, downgradeText;
    std::u16string message;
  };
  const Case cases[] = {
      {"success text as the error", TBFW_E_FIELD_MISMATCH, success, u"Abgelehnt.",
       u"The firmware update failed. Restart the computer and try again. If it fails again, contact support and give "
       u"this code (0X10430006)"},
      {"success text as the refusal", TBFW_E_DOWNGRADE, u"Fehler", success,
       u"The controller already has newer firmware than this update. Nothing was changed."},
      {"the file's own error text", TBFW_E_FIELD_MISMATCH, u"Fehler", u"Abgelehnt.", u"Fehler (0X10430006)"},
      {"a success is the file's", kSuccess, success, success, success},
  };
  for (const Case& c : cases) {
    std::array<char16_t, kMessageCapacity> buffer{};
    const auto lookup = [&](const char16_t* key, char16_t* out, std::size_t capacity) {
      const std::u16string_view k(key);
      const std::u16string& text = k == u"IDS_SUCCESS" ? success : k == u"IDS_ERROR" ? c.errorText : c.downgradeText;
      std::fill(out, out + capacity, u'\0');
      std::copy_n(text.begin(), std::min(text.size(), capacity - 1), out);
    };
    FormatStatusMessage(c.status, lookup, buffer.data(), buffer.size());
    EXPECT_EQ(std::u16string(buffer.data()), c.message) << c.name;
  }
  EXPECT_EQ(BuiltInMessage(TBFW_E_ON_BATTERY),
            u"The firmware update failed. Restart the computer and try again. If it fails again, contact support and "
            u"give this code (0X1043000E)");
}

}  // namespace
