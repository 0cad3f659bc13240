// UTF-8 <-> UTF-16 where text leaves or enters the program: arguments, output, logs.
#pragma once

#include <string>
#include <string_view>

// Ill-formed input becomes U+FFFD in either direction.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);
