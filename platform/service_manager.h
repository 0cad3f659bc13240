// The service control manager, as far as starting one service goes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/owned_handle.h"
#include "platform/system_error.h"

using ServiceHandle = std::uintptr_t;  // 0 is no handle

class ServiceManager {
 public:
  using Handle = OwnedHandle<ServiceManager>;

  virtual ~ServiceManager() = default;
  // The manager and a service of it, each closed when the returned object goes; not
  // valid when the open failed.
  Handle OpenManager(std::uint32_t access) { return Handle(*this, OpenManagerHandle(access)); }
  Handle OpenNamedService(const Handle& manager, const std::u16string& name, std::uint32_t access) {
    return Handle(*this, OpenServiceHandle(manager.get(), name, access));
  }
  // StartServiceW with no arguments; on false, `error` holds GetLastError().
  virtual bool Start(ServiceHandle service, std::uint32_t& error) = 0;
  // Why the last open or start failed; empty when it succeeded.
  virtual SystemError LastFailure() const { return {}; }

  static bool IsValid(ServiceHandle handle) { return handle != 0; }

 protected:
  virtual ServiceHandle OpenManagerHandle(std::uint32_t access) = 0;
  virtual ServiceHandle OpenServiceHandle(ServiceHandle manager, const std::u16string& name, std::uint32_t access) = 0;
  virtual void Close(ServiceHandle handle) = 0;

 private:
  friend Handle;
};
