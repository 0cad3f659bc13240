// Text from outside the program (Update.ini's texts, file names, the controller's id, the
// command line) made fit for one line of the run log.
#pragma once

#include <string>
#include <string_view>

// `value` as UTF-8, with every character that could change how the log reads written out
// as "\u{HEX}" (upper-case hexadecimal, no leading zeros): the C0 and C1 controls and DEL
// (line breaks, terminal escape sequences, bells), the bidirectional marks, embeddings,
// overrides and isolates (U+061C, U+200E-U+200F, U+202A-U+202E, U+2066-U+2069), the line
// and paragraph separators (U+2028, U+2029) and a UTF-16 half that has no partner.
// Everything else is kept as it is, so paths and messages stay readable.
std::string LogText(std::u16string_view value);
