#include "platform/win32/process_guards_win32.h"

#include <windows.h>

#include <string>

#include "platform/win32/module_path_win32.h"
#include "platform/win32/wide.h"

namespace {

// The policy numbers and flag bits of SetProcessMitigationPolicy, declared here: older
// headers lack some, and the function itself (Windows 8 and later) is looked up at run
// time so the program still starts on a system without it.
constexpr int kImageLoadPolicy = 10;         // ProcessImageLoadPolicy
constexpr int kRedirectionTrustPolicy = 16;  // ProcessRedirectionTrustPolicy (Windows 10 2022 updates)
constexpr DWORD kNoRemoteImages = 0x1;
constexpr DWORD kNoLowMandatoryLabelImages = 0x2;
constexpr DWORD kPreferSystem32Images = 0x4;
constexpr DWORD kEnforceRedirectionTrust = 0x1;

using SetPolicyFunction = BOOL(WINAPI*)(int policy, void* buffer, SIZE_T length);

bool SetPolicy(SetPolicyFunction set, int policy, DWORD flags) { return set(policy, &flags, sizeof flags) != FALSE; }

}  // namespace

int ApplyProcessMitigations() {
  auto set = reinterpret_cast<SetPolicyFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetProcessMitigationPolicy")));
  if (set == nullptr) return 0;
  int on = 0;
  if (SetPolicy(set, kImageLoadPolicy, kNoRemoteImages | kNoLowMandatoryLabelImages | kPreferSystem32Images)) ++on;
  if (SetPolicy(set, kRedirectionTrustPolicy, kEnforceRedirectionTrust)) ++on;
  return on;
}

bool DotLocalBesideProgram() {
  const std::u16string program = ModulePath();
  if (program.empty()) return true;
  const std::u16string local = program + u".local";
  // Any kind of entry: the loader takes a folder, and an entry of another kind under that
  // name is no more expected.
  if (GetFileAttributesW(AsWide(local.c_str())) != INVALID_FILE_ATTRIBUTES) return true;
  // An entry that cannot be looked at (access denied) counts as there.
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}
