#include "app/win32/single_instance_win32.h"

#include <sddl.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace {

constexpr wchar_t kBoundary[] = L"Vanto.TbtFwUpdate";
constexpr wchar_t kNamespaceAlias[] = L"Vanto.TbtFwUpdate";
constexpr wchar_t kPrivateName[] = L"Vanto.TbtFwUpdate\\OneWriter";
constexpr wchar_t kGlobalName[] = L"Global\\Vanto.TbtFwUpdate.OneWriter";
// SYSTEM and Administrators only: the namespace and the section admit no one else.
constexpr wchar_t kAdminsOnly[] = L"D:P(A;;GA;;;SY)(A;;GA;;;BA)";

class AdminsOnly {
 public:
  AdminsOnly() {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdminsOnly, SDDL_REVISION_1, &descriptor, nullptr)) {
      descriptor_.reset(descriptor);
    }
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = descriptor_.get();
  }
  SECURITY_ATTRIBUTES* get() { return descriptor_ ? &attributes_ : nullptr; }

 private:
  UniqueLocal descriptor_;
  SECURITY_ATTRIBUTES attributes_{};
};

// The private namespace bounded by the Administrators group, made by this copy or opened
// when another made it; empty when the system offers none or this process may not have it,
// with `error` the system's code.
HANDLE AdminNamespace(SECURITY_ATTRIBUTES* attributes, DWORD& error) {
  error = ERROR_SUCCESS;
  UniqueBoundary boundary(CreateBoundaryDescriptorW(kBoundary, 0));
  if (!boundary) {
    error = GetLastError();
    return nullptr;
  }
  BYTE admins[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof admins;
  if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &size)) {
    error = GetLastError();
    return nullptr;
  }
  HANDLE descriptor = boundary.get();
  if (!AddSIDToBoundaryDescriptor(&descriptor, admins)) {
    error = GetLastError();
    return nullptr;
  }
  // The call may move the descriptor; the owner frees what it now is.
  if (descriptor != boundary.get()) {
    (void)boundary.release();
    boundary.reset(descriptor);
  }
  ::SetLastError(ERROR_SUCCESS);
  HANDLE space = CreatePrivateNamespaceW(attributes, boundary.get(), kNamespaceAlias);
  if (space == nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    space = OpenPrivateNamespaceW(boundary.get(), kNamespaceAlias);
    // The namespace is there and another copy may hold the guard in it: however the open
    // failed, this copy is refused it.
    if (space == nullptr) error = ERROR_ACCESS_DENIED;
    return space;
  }
  if (space == nullptr) error = GetLastError();
  return space;
}

// Whether the system refused this copy a namespace it has (access denied, or one that is
// there but could not be opened): another copy may hold the guard in it, unseen from the
// global name. Any other failure is a system that offers none (Wine's calls fail without
// saying why).
bool RefusedANamespaceThereIs(DWORD error) { return error == ERROR_ACCESS_DENIED || error == ERROR_PRIVILEGE_NOT_HELD; }

}  // namespace

SingleInstance::SingleInstance() {
  AdminsOnly security;
  DWORD error = ERROR_SUCCESS;
  namespace_.reset(AdminNamespace(security.get(), error));
  if (namespace_) {
    where_ = "the administrators' private namespace";
    first_ = Take(kPrivateName);
  } else if (RefusedANamespaceThereIs(error)) {
    where_ = "the administrators' private namespace, which this copy was refused (system error " +
             std::to_string(error) + ")";
    first_ = false;
  } else {
    where_ = "the global namespace (no private namespace)";
    first_ = Take(kGlobalName);
  }
}

bool SingleInstance::Take(const wchar_t* name) {
  AdminsOnly security;
  SetLastError(ERROR_SUCCESS);
  section_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, security.get(), PAGE_READWRITE, 0, sizeof(DWORD), name));
  const DWORD error = GetLastError();
  // No section: the name is held by an object of another kind or with rights this copy
  // lacks. Either way nothing tells that no other writer runs.
  if (!section_) return false;
  const UniqueView view(MapViewOfFile(section_.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(DWORD)));
  auto* holder = static_cast<volatile LONG*>(const_cast<void*>(view.get()));
  if (error == ERROR_ALREADY_EXISTS) {
    if (holder != nullptr) holder_ = static_cast<DWORD>(*holder);
    section_.reset();
    return false;
  }
  if (holder != nullptr) InterlockedExchange(holder, static_cast<LONG>(GetCurrentProcessId()));
  return true;
}

bool BringWindowToFront(DWORD holder, const wchar_t* windowClass) {
  if (holder == 0) return false;
  // Every top-level window of that class, until one belongs to the holder: a window of
  // another program is left where it is.
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, windowClass, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != holder || !IsWindowVisible(window)) continue;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    return true;
  }
  return false;
}
