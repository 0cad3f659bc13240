#include "platform/win32/service_manager_win32.h"

#include <windows.h>

#include "platform/win32/noted_win32.h"
#include "platform/win32/wide.h"

ServiceHandle Win32ServiceManager::OpenManagerHandle(std::uint32_t access) {
  const SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, access);
  Noted(last_, "OpenSCManagerW", manager != nullptr);
  return reinterpret_cast<ServiceHandle>(manager);
}

ServiceHandle Win32ServiceManager::OpenServiceHandle(ServiceHandle manager, const std::u16string& name,
                                                     std::uint32_t access) {
  const SC_HANDLE service = OpenServiceW(reinterpret_cast<SC_HANDLE>(manager), AsWide(name.c_str()), access);
  Noted(last_, "OpenServiceW", service != nullptr);
  return reinterpret_cast<ServiceHandle>(service);
}

bool Win32ServiceManager::Start(ServiceHandle service, std::uint32_t& error) {
  if (StartServiceW(reinterpret_cast<SC_HANDLE>(service), 0, nullptr)) {
    last_.Succeeded();
    return true;
  }
  error = GetLastError();
  last_.Failed("StartServiceW", error);
  return false;
}

void Win32ServiceManager::Close(ServiceHandle handle) { CloseServiceHandle(reinterpret_cast<SC_HANDLE>(handle)); }
