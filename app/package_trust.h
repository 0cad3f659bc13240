// Whether a file or folder of the package can be changed by anyone but SYSTEM, the
// Administrators, TrustedInstaller and the account the tool runs as: written, appended
// to, deleted (and so replaced), or given another list or owner. A package anyone else can
// change is not the package the administrator deployed.
#pragma once

#include <cstdint>
#include <string>

#include "platform/object_security.h"

// The access-mask bits that change a file: write and append data, write extended
// attributes and attributes, delete, change the list or the owner, and the generic and
// maximum rights that include them.
inline constexpr std::uint32_t kFileChangeRights = 0x00000002 | 0x00000004 | 0x00000010 | 0x00000100 | 0x00010000 |
                                                   0x00040000 | 0x00080000 | 0x02000000 | 0x10000000 | 0x40000000;
// A folder's: the same bits are also adding a file or a sub-folder, and deleting one of
// its entries (0x40) lets an entry be replaced.
inline constexpr std::uint32_t kFolderChangeRights = kFileChangeRights | 0x00000040;

// Who besides the trusted may change the object, for the log ("Everyone (S-1-1-0) may
// change it", "its owner, NAME, may change its list"); empty when no one. Deny entries are
// not counted (an allow they would cancel still refuses), nor entries that only pass on to
// what is made inside.
std::string WhoMayChange(const ObjectSecurity& security, bool folder);
