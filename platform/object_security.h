// A file's or folder's owner and access list as the package-trust rule reads them: each
// principal sorted into the few the rule tells apart, with its name for the log.
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
