// The service control manager, as far as starting one service goes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/system_error.h"

using ServiceHandle = std::uintptr_t;  // 0 is no handle

class ServiceManager {
 public:
  virtual ~ServiceManager() = default;
  virtual ServiceHandle OpenManager(std::uint32_t access) = 0;
  virtual ServiceHandle OpenNamedService(ServiceHandle manager, const std::u16string& name, std::uint32_t access) = 0;
  // StartServiceW with no arguments; on false, `error` holds GetLastError().
  virtual bool Start(ServiceHandle service, std::uint32_t& error) = 0;
  virtual void Close(ServiceHandle handle) = 0;
  // Why the last open or start failed; empty when it succeeded.
  virtual SystemError LastFailure() const { return {}; }
};
