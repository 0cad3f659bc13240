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

struct BuiltIn {
  const char16_t* key;
  const char16_t* text;
};

constexpr std::array kBuiltInTexts{
    BuiltIn{u"IDS_SUCCESS",
            u"The firmware was updated successfully. Shut down the computer to complete the update, then turn it on "
            u"again."},
    BuiltIn{u"IDS_FIND_NO_SW",
            u"The Thunderbolt software could not be reached. Install or repair the Thunderbolt software, restart the "
            u"computer, then run this tool again."},
    BuiltIn{u"IDS_DOWNGRADE", u"The controller already has newer firmware than this update. Nothing was changed."},
    BuiltIn{u"IDS_ERROR",
            u"The firmware update failed. Restart the computer and try again. If it fails again, contact support and "
            u"give this code"},
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

void BuiltInText(const char16_t* key, char16_t* buffer, std::size_t capacity) {
  if (buffer == nullptr || capacity == 0) return;
  buffer[0] = u'\0';
  for (const BuiltIn& entry : kBuiltInTexts) {
    if (std::u16string_view(entry.key) != key) continue;
    const std::u16string_view text(entry.text);
    const std::size_t length = std::min(text.size(), capacity - 1);
    std::copy_n(text.begin(), length, buffer);
    buffer[length] = u'\0';
    return;
  }
}

std::u16string BuiltInMessage(StatusCode status) {
  std::array<char16_t, kMessageCapacity> message{};
  FormatStatusMessage(status, BuiltInText, message.data(), message.size());
  return message.data();
}

void FormatStatusMessage(StatusCode status, const TextLookup& lookup, char16_t* buffer, std::size_t capacity) {
  if (buffer == nullptr || capacity == 0) return;
  std::fill(buffer, buffer + capacity, u'\0');
  // A failure's text that is the success text (the code after it for an error)
  // would tell a failed or refused run as a success: the built-in text is used instead.
  const TextLookup guarded = [&](const char16_t* key, char16_t* out, std::size_t size) {
    lookup(key, out, size);
    if (status == kSuccess || out[0] == u'\0') return;
    std::array<char16_t, kMessageCapacity> success{};
    lookup(u"IDS_SUCCESS", success.data(), success.size());
    if (std::u16string_view(success.data()).empty() || std::u16string_view(out) != success.data()) return;
    BuiltInText(key, out, size);
  };
  if (const char16_t* own = OwnTextKey(status)) {
    guarded(own, buffer, capacity);
    return;
  }
  // The error text has a buffer of its own; text plus code may be longer than the
  // caller's buffer, and is then cut rather than written past its end.
  std::array<char16_t, kMessageCapacity> text{};
  guarded(kErrorKey, text.data(), text.size());
  std::u16string message(text.data());
  message += CodeSuffix(status);
  const std::size_t length = std::min(message.size(), capacity - 1);
  std::copy_n(message.begin(), length, buffer);
}
