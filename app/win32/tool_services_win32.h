// The controller's WMI client, one for the whole process: its connection and the
// controller's object path outlive a single run.
#pragma once

#include "controller/controller_client.h"

ControllerClient& TheControllerClient();
