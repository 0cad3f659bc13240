// Where the program finds its files: beside itself, in the folder "data".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Size of the path buffers in UTF-16 units, the terminating zero included: the program's
// own path and every path made from it. A path that does not fit is not used rather than
// cut, since a cut path names another file.
inline constexpr std::size_t kPathCapacity = 1024;

// The "data" folder beside the program at `modulePath`: everything up to its last
// backslash, then "data". A path without a backslash is taken whole.
std::u16string DataFolderBeside(std::u16string_view modulePath);
