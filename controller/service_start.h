// Starting the controller's Windows service through the service control manager.
#pragma once

#include "platform/service_manager.h"

inline constexpr char16_t kControllerServiceName[] = u"ThunderboltService";

enum ServiceStartResult : int {
  kServiceStarted = 0,          // started, or already running
  kServiceNoManager = 201,      // the service control manager could not be opened
  kServiceWouldNotStart = 203,  // opened, but would not start
  kServiceNotOpened = 204,      // the service could not be opened
};

// Starts `name` and does not wait for it to run. No handle stays open on any path.
int StartControllerService(ServiceManager& scm, const char16_t* name);
