// The service control manager over Win32.
#pragma once

#include "platform/service_manager.h"

class Win32ServiceManager final : public ServiceManager {
 public:
  ServiceHandle OpenManager(std::uint32_t access) override;
  ServiceHandle OpenNamedService(ServiceHandle manager, const std::u16string& name, std::uint32_t access) override;
  bool Start(ServiceHandle service, std::uint32_t& error) override;
  void Close(ServiceHandle handle) override;
  SystemError LastFailure() const override { return last_.Get(); }

 private:
  LastSystemError last_;
};
