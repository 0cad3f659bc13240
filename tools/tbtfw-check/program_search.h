// Where tbtfw-check finds a program it starts (gcab): in the search path's absolute folders
// only, never the current folder or the program's own, where anyone who can write there
// could leave a program of that name for a root or administrator run to start.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The first "FOLDER<separator>NAME" for which `exists` holds, FOLDER taken in order from
// `searchPath` (the PATH value, folders divided by `separator`); empty and relative
// folders are passed over. `absolute` tells an absolute folder on this system.
std::optional<std::u16string> FindOnSearchPath(std::u16string_view name, std::u16string_view searchPath,
                                               char16_t separator, char16_t slash,
                                               const std::function<bool(std::u16string_view)>& absolute,
                                               const std::function<bool(const std::u16string&)>& exists);
