#include "app/status_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>

namespace {

TextLookup FixedTexts(std::map<std::u16string, std::u16string> texts) {
  return [texts = std::move(texts)](const char16_t* key, char16_t* buffer, std::size_t capacity) {
    std::fill(buffer, buffer + capacity, u'\0');
    auto it = texts.find(key);
    if (it == texts.end()) return;
    std::copy_n(it->second.begin(), std::min(it->second.size(), capacity - 1), buffer);
  };
}

const TextLookup kEnglish = FixedTexts({
    {u"IDS_SUCCESS", u"Done."},
    {u"IDS_FIND_NO_SW", u"No software."},
    {u"IDS_DOWNGRADE", u"Newer firmware present."},
    {u"IDS_ERROR", u"Failed"},
});

struct MessageCase {
  StatusCode status;
  std::u16string message;
};

const MessageCase kMessageCases[] = {
    {kSuccess, u"Done."},
    {TBFW_E_NO_PROVIDER, u"No software."},
    {TBFW_E_DOWNGRADE, u"Newer firmware present."},
    {TBFW_E_FIELD_MISMATCH, u"Failed (0X10430006)"},
    {5, u"Failed (0X00000005)"},
    {0xABCDEF01, u"Failed (0XABCDEF01)"},
};

TEST(FormatStatusMessage, MapsEveryStatusToItsText) {
  for (const MessageCase& c : kMessageCases) {
    std::array<char16_t, kMessageCapacity> buffer;
    buffer.fill(u'#');
    FormatStatusMessage(c.status, kEnglish, buffer.data(), buffer.size());
    EXPECT_EQ(std::u16string(buffer.data()), c.message) << std::hex << c.status;
  }
}

TEST(FormatStatusMessage, MissingErrorTextStillShowsTheCode) {
  std::array<char16_t, kMessageCapacity> buffer{};
  FormatStatusMessage(TBFW_E_FIELD_MISMATCH, FixedTexts({}), buffer.data(), buffer.size());
  EXPECT_EQ(std::u16string(buffer.data()), u" (0X10430006)");
}

TEST(FormatStatusMessage, CutsALongErrorMessageToTheBuffer) {
  const std::u16string longText(255, u'x');
  std::array<char16_t, kMessageCapacity + 8> buffer;
  buffer.fill(u'#');
  FormatStatusMessage(TBFW_E_FIELD_MISMATCH, FixedTexts({{u"IDS_ERROR", longText}}), buffer.data(),
                      kMessageCapacity);
  EXPECT_EQ(std::u16string(buffer.data()), std::u16string(255, u'x'));
  // Nothing past the buffer the caller named is touched.
  EXPECT_EQ(buffer[kMessageCapacity], u'#');

  std::array<char16_t, kMessageCapacity> fits{};
  FormatStatusMessage(5, FixedTexts({{u"IDS_ERROR", std::u16string(242, u'y')}}), fits.data(), fits.size());
  EXPECT_EQ(std::u16string(fits.data()), std::u16string(242, u'y') + u" (0X00000005)");
}

}  // namespace
