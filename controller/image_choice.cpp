#include "controller/image_choice.h"

#include <algorithm>

namespace {

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

}  // namespace

bool ImageNameBefore(std::u16string_view a, std::u16string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char16_t x, char16_t y) { return UpperAscii(x) < UpperAscii(y); });
}

bool IsVerdictOnImage(StatusCode status) {
  switch (status) {
    case TBFW_E_UNKNOWN_DEVICE:
    case TBFW_E_NO_IMAGE:
    case TBFW_E_FIELD_MISMATCH:
    case TBFW_E_GENERATION_MISMATCH:
    case TBFW_E_PORT_VARIANT_MISMATCH:
    case TBFW_E_LEVEL_MISMATCH: return true;
    default: return false;
  }
}

ImageChoice ChooseImage(std::size_t count, const std::function<ImageVerdict(std::size_t index)>& check) {
  ImageChoice choice;
  std::optional<StatusCode> first;
  std::string chosenDigest;
  bool differ = false;
  for (std::size_t i = 0; i < count; ++i) {
    const ImageVerdict verdict = check(i);
    if (!first) first = verdict.status;
    if (verdict.status != kSuccess) {
      if (IsVerdictOnImage(verdict.status)) continue;
      return {verdict.status, std::nullopt, {}};
    }
    if (choice.fitting.empty()) chosenDigest = verdict.sha256;
    differ = differ || verdict.sha256 != chosenDigest;
    choice.fitting.push_back(i);
  }
  if (choice.fitting.empty()) {
    choice.status = first.value_or(TBFW_E_NO_IMAGE);
    return choice;
  }
  if (differ) {
    choice.status = TBFW_E_AMBIGUOUS_IMAGE;
    return choice;
  }
  choice.status = kSuccess;
  choice.chosen = choice.fitting.front();
  choice.fitting.clear();
  return choice;
}
