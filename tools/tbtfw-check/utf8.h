// UTF-8 <-> UTF-16 at the edge of the diagnostic tool: its arguments and its output.
#pragma once

#include <string>
#include <string_view>

// Ill-formed input becomes U+FFFD in either direction.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);
