#include "controller/service_start.h"

namespace {

// No more rights than starting needs: SC_MANAGER_CONNECT, and SERVICE_QUERY_STATUS |
// SERVICE_START.
constexpr std::uint32_t kManagerConnect = 0x0001;
constexpr std::uint32_t kServiceQueryAndStart = 0x0004 | 0x0010;
constexpr std::uint32_t kErrorServiceAlreadyRunning = 1056;

}  // namespace

int StartControllerService(ServiceManager& scm, const char16_t* name) {
  if (name == nullptr) return kServiceNotOpened;
  const ServiceManager::Handle manager = scm.OpenManager(kManagerConnect);
  if (!manager.valid()) return kServiceNoManager;
  // Declared after the manager, so it is closed first.
  const ServiceManager::Handle service = scm.OpenNamedService(manager, name, kServiceQueryAndStart);
  if (!service.valid()) return kServiceNotOpened;
  std::uint32_t error = 0;
  if (!scm.Start(service.get(), error) && error != kErrorServiceAlreadyRunning) return kServiceWouldNotStart;
  return kServiceStarted;
}
