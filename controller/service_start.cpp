#include "controller/service_start.h"

namespace {

constexpr std::uint32_t kManagerAllAccess = 0xF003F;
constexpr std::uint32_t kServiceAllAccess = 0xF01FF;
constexpr std::uint32_t kErrorServiceAlreadyRunning = 1056;

// Closes a service-manager handle when it goes out of scope.
class ServiceHandleOwner {
 public:
  ServiceHandleOwner(ServiceManager& scm, ServiceHandle handle) : scm_(scm), handle_(handle) {}
  ~ServiceHandleOwner() {
    if (handle_ != 0) scm_.Close(handle_);
  }
  ServiceHandleOwner(const ServiceHandleOwner&) = delete;
  ServiceHandleOwner& operator=(const ServiceHandleOwner&) = delete;
  ServiceHandle get() const { return handle_; }

 private:
  ServiceManager& scm_;
  ServiceHandle handle_;
};

}  // namespace

int StartControllerService(ServiceManager& scm, const char16_t* name) {
  if (name == nullptr) return kServiceNotOpened;
  const ServiceHandleOwner manager(scm, scm.OpenManager(kManagerAllAccess));
  if (manager.get() == 0) return kServiceNoManager;
  // Declared after the manager, so it is closed first.
  const ServiceHandleOwner service(scm, scm.OpenNamedService(manager.get(), name, kServiceAllAccess));
  if (service.get() == 0) return kServiceNotOpened;
  std::uint32_t error = 0;
  if (!scm.Start(service.get(), error) && error != kErrorServiceAlreadyRunning) return kServiceWouldNotStart;
  return kServiceStarted;
}
