#include "app/status_message.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

struct OwnText {
  StatusCode status;
  const char16_t* key;
};

constexpr const char16_t* kErrorKey = u"IDS_ERROR";

// The outcomes with a text of their own; every other status is told with kErrorKey's text
// and the status code.
constexpr std::array kOwnTexts{
    OwnText{kSuccess, u"IDS_SUCCESS"},
    OwnText{TBFW_E_NO_PROVIDER, u"IDS_FIND_NO_SW"},
    OwnText{TBFW_E_DOWNGRADE, u"IDS_DOWNGRADE"},
};

const char16_t* OwnTextKey(StatusCode status) {
  for (const OwnText& entry : kOwnTexts) {
    if (entry.status == status) return entry.key;
  }
  return nullptr;
}

std::u16string CodeSuffix(StatusCode status) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::u16string suffix = u" (0X";
  for (int shift = 28; shift >= 0; shift -= 4) suffix += static_cast<char16_t>(kHex[(status >> shift) & 0xF]);
  suffix += u')';
  return suffix;
}

}  // namespace

const char16_t* StatusMessageKey(StatusCode status) {
  const char16_t* own = OwnTextKey(status);
  return own != nullptr ? own : kErrorKey;
}

void FormatStatusMessage(StatusCode status, const TextLookup& lookup, char16_t* buffer, std::size_t capacity) {
  if (buffer == nullptr || capacity == 0) return;
  std::fill(buffer, buffer + capacity, u'\0');
  if (const char16_t* own = OwnTextKey(status)) {
    lookup(own, buffer, capacity);
    return;
  }
  // The error text has a buffer of its own; text plus code may be longer than the
  // caller's buffer, and is then cut rather than written past its end.
  std::array<char16_t, kMessageCapacity> text{};
  lookup(kErrorKey, text.data(), text.size());
  std::u16string message(text.data());
  message += CodeSuffix(status);
  const std::size_t length = std::min(message.size(), capacity - 1);
  std::copy_n(message.begin(), length, buffer);
}
