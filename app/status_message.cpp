#include "app/status_message.h"

#include <algorithm>
#include <array>
#include <string>

const char16_t* StatusMessageKey(StatusCode status) {
  switch (status) {
    case kSuccess: return u"IDS_SUCCESS";
    case TBFW_E_NO_PROVIDER: return u"IDS_FIND_NO_SW";
    case TBFW_E_DOWNGRADE: return u"IDS_DOWNGRADE";
    default: return u"IDS_ERROR";
  }
}

namespace {

std::u16string CodeSuffix(StatusCode status) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::u16string suffix = u" (0X";
  for (int shift = 28; shift >= 0; shift -= 4) suffix += static_cast<char16_t>(kHex[(status >> shift) & 0xF]);
  suffix += u')';
  return suffix;
}

}  // namespace

void FormatStatusMessage(StatusCode status, const TextLookup& lookup, char16_t* buffer,
                         std::size_t capacity) {
  if (buffer == nullptr || capacity == 0) return;
  std::fill(buffer, buffer + capacity, u'\0');
  const char16_t* key = StatusMessageKey(status);
  if (status == kSuccess || status == TBFW_E_NO_PROVIDER || status == TBFW_E_DOWNGRADE) {
    lookup(key, buffer, capacity);
    return;
  }
  // The error text has a buffer of its own; text plus code may be longer than the
  // caller's buffer, and is then cut rather than written past its end.
  std::array<char16_t, kMessageCapacity> text{};
  lookup(key, text.data(), text.size());
  std::u16string message(text.data());
  message += CodeSuffix(status);
  const std::size_t length = std::min(message.size(), capacity - 1);
  std::copy_n(message.begin(), length, buffer);
}
