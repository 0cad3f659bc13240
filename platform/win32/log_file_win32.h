// The run log's file on Windows: opened for appending, created when missing, and only when
// the path names what it says: a plain file on a disk, reached through no link.
#pragma once

#include <memory>
#include <string>

#include "platform/log_file.h"

// Empty when the file cannot be opened or created (a missing folder, a folder's name, no
// right to write), and when it is refused: the file or a folder on its path is a reparse
// point (a symbolic link, a junction, a mount point), the file the handle reaches is not
// the one asked for, the file has more than one name (a hard link), it is no file on a
// disk, or, while the program runs elevated, an existing file is owned by none of SYSTEM,
// the Administrators and the account the program runs as. A refused file is neither
// written nor left behind. A file made here is owned by the Administrators and allows
// SYSTEM and the Administrators alone.
std::unique_ptr<LogFile> OpenLogFile(const std::u16string& path);
