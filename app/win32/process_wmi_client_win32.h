// The process's one COM runtime and the controller's WMI client over it: the client's
// connection and the controller's object path outlive a single run, and every run's
// thread enters COM through the same runtime the client creates its locator with.
#pragma once

#include "controller/controller_client.h"
#include "platform/com_runtime.h"

ComRuntime& TheComRuntime();
ControllerClient& TheControllerClient();
