#include "platform/object_security.h"

namespace {

bool Trusted(Principal who) { return who != Principal::kOther; }

}  // namespace

std::string WhoMayChange(const ObjectSecurity& security, bool folder) {
  switch (security.kind) {
    case ObjectSecurity::Kind::kNoSecurity: return "anyone: its file system keeps no owners or access lists";
    case ObjectSecurity::Kind::kNoAccessList: return "anyone: it has no access list";
    case ObjectSecurity::Kind::kListed: break;
  }
  // An owner may always change the list, and then the object.
  if (!Trusted(security.owner)) return "its owner, " + security.ownerName + ", may change its list";
  const std::uint32_t rights = folder ? kFolderChangeRights : kFileChangeRights;
  for (const AccessEntry& entry : security.entries) {
    if (!entry.allows || entry.inheritOnly || Trusted(entry.who)) continue;
    if ((entry.mask & rights) != 0) return entry.name + " may change it";
  }
  return {};
}
