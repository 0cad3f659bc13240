// COM for one thread, and the WMI locator it creates.
#pragma once

#include <memory>

#include "platform/wbem.h"

class ComRuntime {
 public:
  virtual ~ComRuntime() = default;
  virtual HResult Initialize() = 0;  // CoInitialize(null): apartment-threaded
  virtual void Uninitialize() = 0;
  // CoCreateInstance of the WMI locator (in-process server); `locator` stays empty when
  // that fails.
  virtual HResult CreateLocator(std::unique_ptr<WbemLocator>& locator) = 0;
};
