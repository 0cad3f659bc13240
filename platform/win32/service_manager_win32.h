// The service control manager over Win32.
#pragma once

#include "platform/service_manager.h"

class Win32ServiceManager final : public ServiceManager {
 public:
  bool Start(ServiceHandle service, std::uint32_t& error) override;
  SystemError LastFailure() const override { return last_.Get(); }

 private:
  ServiceHandle OpenManagerHandle(std::uint32_t access) override;
  ServiceHandle OpenServiceHandle(ServiceHandle manager, const std::u16string& name, std::uint32_t access) override;
  void Close(ServiceHandle handle) override;

  LastSystemError last_;
};
