#include "controller/service_start.h"

namespace {

// No more rights than starting needs: SC_MANAGER_CONNECT, and SERVICE_QUERY_STATUS |
// SERVICE_START.
constexpr std::uint32_t kManagerConnect = 0x0001;
constexpr std::uint32_t kServiceQueryAndStart = 0x0004 | 0x0010;
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
  const ServiceHandleOwner manager(scm, scm.OpenManager(kManagerConnect));
  if (manager.get() == 0) return kServiceNoManager;
  // Declared after the manager, so it is closed first.
  const ServiceHandleOwner service(scm, scm.OpenNamedService(manager.get(), name, kServiceQueryAndStart));
  if (service.get() == 0) return kServiceNotOpened;
  std::uint32_t error = 0;
  if (!scm.Start(service.get(), error) && error != kErrorServiceAlreadyRunning) return kServiceWouldNotStart;
  return kServiceStarted;
}
