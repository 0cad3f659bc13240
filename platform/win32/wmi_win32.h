// COM and WMI through the system's own locator (CLSID_WbemLocator).
#pragma once

#include "platform/com_runtime.h"

class Win32ComRuntime final : public ComRuntime {
 public:
  HResult Initialize() override;
  void Uninitialize() override;
  HResult CreateLocator(std::unique_ptr<WbemLocator>& locator) override;
};
