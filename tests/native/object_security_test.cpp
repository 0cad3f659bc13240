#include "platform/object_security.h"

#include <gtest/gtest.h>

namespace {

AccessEntry Allow(Principal who, std::uint32_t mask, const char* name = "") { return {who, name, true, false, mask}; }

const AccessEntry kSystemFull = Allow(Principal::kSystem, 0x1F01FF);
const AccessEntry kAdminsFull = Allow(Principal::kAdministrators, 0x1F01FF);
constexpr std::uint32_t kReadExecute = 0x1200A9;

ObjectSecurity Listed(Principal owner, std::vector<AccessEntry> extra) {
  ObjectSecurity s;
  s.owner = owner;
  s.ownerName = "Alice (S-1-5-21-1-2-3-1001)";
  s.entries = {kSystemFull, kAdminsFull};
  s.entries.insert(s.entries.end(), extra.begin(), extra.end());
  return s;
}

// The places a package is copied to, as their lists read, and the admin-only folder it
// belongs in. Wine reports the Unix mode: the owner is the running account, "other" is
// Everyone (0x1200A9 read, 0x1301FF with write).
TEST(WhoMayChange, RefusesEveryoneButTheTrustedWhoCanChangeTheObject) {
  struct Case {
    const char* name;
    ObjectSecurity security;
    bool folder;
    const char* who;  // empty: trusted
  };
  ObjectSecurity fat;
  fat.kind = ObjectSecurity::Kind::kNoSecurity;
  ObjectSecurity nullList;
  nullList.kind = ObjectSecurity::Kind::kNoAccessList;
  AccessEntry denyEveryone = Allow(Principal::kOther, 0x1301FF, "Everyone (S-1-1-0)");
  denyEveryone.allows = false;
  AccessEntry inheritOnlyUsers = Allow(Principal::kOther, 0x1F01FF, "Users (S-1-5-32-545)");
  inheritOnlyUsers.inheritOnly = true;
  AccessEntry creatorOwner = Allow(Principal::kOther, 0x10000000, "CREATOR OWNER (S-1-3-0)");
  creatorOwner.inheritOnly = true;
  const Case cases[] = {
      {"Program Files: admin-only, users read",
       Listed(Principal::kTrustedInstaller,
              {Allow(Principal::kOther, kReadExecute, "Users (S-1-5-32-545)"), creatorOwner}),
       true, ""},
      {"a file of it", Listed(Principal::kAdministrators, {Allow(Principal::kOther, kReadExecute, "Users")}), false,
       ""},
      {"Wine, mode 755",
       Listed(Principal::kRunningAccount, {Allow(Principal::kRunningAccount, 0x1F01FF),
                                           Allow(Principal::kOther, kReadExecute, "Everyone (S-1-1-0)")}),
       true, ""},
      {"Wine, mode 777", Listed(Principal::kRunningAccount, {Allow(Principal::kOther, 0x1301FF, "Everyone (S-1-1-0)")}),
       true, "Everyone (S-1-1-0) may change it"},
      {"ProgramData: Users create files", Listed(Principal::kSystem, {Allow(Principal::kOther, 0x2, "Users")}), true,
       "Users may change it"},
      {"ProgramData: Users create folders", Listed(Principal::kSystem, {Allow(Principal::kOther, 0x4, "Users")}), true,
       "Users may change it"},
      {"Authenticated Users modify",
       Listed(Principal::kAdministrators, {Allow(Principal::kOther, 0x1301BF, "Authenticated Users")}), false,
       "Authenticated Users may change it"},
      {"a user may delete it", Listed(Principal::kAdministrators, {Allow(Principal::kOther, 0x10000, "Users")}), false,
       "Users may change it"},
      {"a user may change its list", Listed(Principal::kAdministrators, {Allow(Principal::kOther, 0x40000, "Users")}),
       false, "Users may change it"},
      {"generic write", Listed(Principal::kAdministrators, {Allow(Principal::kOther, 0x40000000, "Users")}), false,
       "Users may change it"},
      {"a folder's entries deletable", Listed(Principal::kAdministrators, {Allow(Principal::kOther, 0x40, "Users")}),
       true, "Users may change it"},
      {"a file's execute right", Listed(Principal::kAdministrators, {Allow(Principal::kOther, 0x40 | 0x20, "Users")}),
       false, ""},
      {"Downloads elevated over the shoulder", Listed(Principal::kOther, {}), true,
       "its owner, Alice (S-1-5-21-1-2-3-1001), may change its list"},
      {"a deny entry grants nothing", Listed(Principal::kAdministrators, {denyEveryone}), true, ""},
      {"for what is made inside only", Listed(Principal::kAdministrators, {inheritOnlyUsers}), true, ""},
      {"FAT or exFAT", fat, true, "anyone: its file system keeps no owners or access lists"},
      {"no access list", nullList, false, "anyone: it has no access list"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WhoMayChange(c.security, c.folder), c.who) << c.name;
  }
}

}  // namespace
