#include "platform/win32/object_security_win32.h"

#include <aclapi.h>
#include <sddl.h>

#include "platform/win32/unique_handle.h"

namespace {

constexpr wchar_t kTrustedInstaller[] = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

std::string Ascii(const wchar_t* text) {
  std::string out;
  for (const wchar_t* c = text; *c != L'\0'; ++c) out += (*c >= 0x20 && *c < 0x7F) ? static_cast<char>(*c) : '?';
  return out;
}

// "NAME (S-1-...)", or the SID alone when the system has no name for it.
std::string NameOf(PSID sid) {
  std::string id = "an unreadable SID";
  LPWSTR raw = nullptr;
  if (ConvertSidToStringSidW(sid, &raw)) {
    const UniqueLocal owned(raw);
    id = Ascii(raw);
  }
  wchar_t name[256] = {}, domain[256] = {};
  DWORD nameSize = 256, domainSize = 256;
  SID_NAME_USE use{};
  if (!LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use)) return id;
  return Ascii(name) + " (" + id + ")";
}

bool IsTrustedInstaller(PSID sid) {
  PSID trusted = nullptr;
  if (!ConvertStringSidToSidW(kTrustedInstaller, &trusted)) return false;
  const UniqueLocal owned(trusted);
  return EqualSid(sid, trusted) != FALSE;
}

class Sorter {
 public:
  Sorter() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return;
    const UniqueKernelHandle token(raw);
    DWORD size = 0;
    haveUser_ = GetTokenInformation(token.get(), TokenUser, user_, sizeof user_, &size) != FALSE;
  }
  Principal Sort(PSID sid) const {
    if (sid == nullptr || !IsValidSid(sid)) return Principal::kOther;
    if (IsWellKnownSid(sid, WinLocalSystemSid)) return Principal::kSystem;
    if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid)) return Principal::kAdministrators;
    if (IsTrustedInstaller(sid)) return Principal::kTrustedInstaller;
    if (haveUser_ && EqualSid(sid, reinterpret_cast<const TOKEN_USER*>(user_)->User.Sid)) {
      return Principal::kRunningAccount;
    }
    return Principal::kOther;
  }

 private:
  alignas(TOKEN_USER) BYTE user_[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)] = {};
  bool haveUser_ = false;
};

}  // namespace

bool ReadObjectSecurity(const std::wstring& path, ObjectSecurity& security, DWORD& error) {
  // READ_CONTROL alone, shared every way: reading the list disturbs no one.
  const UniqueFile object(CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!object) {
    error = GetLastError();
    return false;
  }
  return ReadObjectSecurityOf(object.get(), security, error);
}

bool ReadObjectSecurityOf(HANDLE object, ObjectSecurity& security, DWORD& error) {
  DWORD flags = 0;
  if (GetVolumeInformationByHandleW(object, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
      (flags & FILE_PERSISTENT_ACLS) == 0) {
    security.kind = ObjectSecurity::Kind::kNoSecurity;
    return true;
  }
  PSID owner = nullptr;
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (const DWORD e = GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                      &owner, nullptr, &list, nullptr, &raw);
      e != ERROR_SUCCESS) {
    error = e;
    return false;
  }
  const UniqueLocal descriptor(raw);
  if (owner == nullptr) {
    security.kind = ObjectSecurity::Kind::kNoSecurity;
    return true;
  }
  const Sorter sorter;
  security.owner = sorter.Sort(owner);
  security.ownerName = NameOf(owner);
  if (list == nullptr) {
    security.kind = ObjectSecurity::Kind::kNoAccessList;
    return true;
  }
  security.kind = ObjectSecurity::Kind::kListed;
  security.entries.clear();
  for (DWORD i = 0; i < list->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(list, i, &ace)) {
      error = GetLastError();
      return false;
    }
    const auto* header = static_cast<const ACE_HEADER*>(ace);
    AccessEntry entry;
    entry.inheritOnly = (header->AceFlags & INHERIT_ONLY_ACE) != 0;
    if (header->AceType == ACCESS_ALLOWED_ACE_TYPE || header->AceType == ACCESS_DENIED_ACE_TYPE) {
      // Both share the layout: the header, the mask, then the SID.
      const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
      auto* sid = const_cast<DWORD*>(&allowed->SidStart);
      entry.allows = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
      entry.mask = allowed->Mask;
      entry.who = sorter.Sort(sid);
      entry.name = NameOf(sid);
    } else {
      // An entry of another kind (an object or callback entry) is not read: counted as
      // granting everything to someone untrusted unless it denies.
      entry.allows =
          header->AceType != ACCESS_DENIED_OBJECT_ACE_TYPE && header->AceType != ACCESS_DENIED_CALLBACK_ACE_TYPE;
      entry.mask = 0xFFFFFFFF;
      entry.name = "an entry of type " + std::to_string(header->AceType);
    }
    security.entries.push_back(std::move(entry));
  }
  return true;
}
