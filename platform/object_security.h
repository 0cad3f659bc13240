// A file's or folder's owner and access list, each principal sorted into the few the trust
// rule tells apart (with its name for the log), and the rule: whether anyone but SYSTEM,
// the Administrators, TrustedInstaller and the account the tool runs as can change the
// object (write, append to, delete and so replace it, or give it another list or owner).
// A package or a log anyone else can change is not the one the administrator deployed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class Principal : std::uint8_t {
  kSystem,
  kAdministrators,
  kTrustedInstaller,
  kRunningAccount,  // the account the tool runs as: elevated, so an administrator
  kOther,           // anyone else: Users, Everyone, a user's own account, CREATOR OWNER...
};

struct AccessEntry {
  Principal who = Principal::kOther;
  std::string name;          // for the log: "Everyone (S-1-1-0)"
  bool allows = true;        // an allow entry; a deny entry grants nothing
  bool inheritOnly = false;  // applies to what is made inside, not to the object itself
  std::uint32_t mask = 0;    // the rights, as the system's access mask
};

struct ObjectSecurity {
  enum class Kind : std::uint8_t {
    kListed,        // an owner and an access list
    kNoAccessList,  // a null list: everyone may do anything
    kNoSecurity,    // a file system that keeps no owners or lists (FAT, exFAT)
  };
  Kind kind = Kind::kListed;
  Principal owner = Principal::kOther;
  std::string ownerName;
  std::vector<AccessEntry> entries;
};

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
