// COM faces of the portable WMI interfaces: IWbemLocator, IWbemServices,
// IEnumWbemClassObject and IWbemClassObject, each a thin adapter that converts the
// arguments and forwards to the WbemLocator, WbemServices, WbemEnumerator or WbemObject
// behind it. Only what a WMI client of the controller calls is implemented; everything
// else answers WBEM_E_NOT_SUPPORTED. Before each call that reaches the controller the
// world is refreshed from the system, and after it what the call did is recorded.
#pragma once

#include <windows.h>
#include <wbemcli.h>

#include <memory>

#include "emulator/win32/provider_world_win32.h"
#include "platform/wbem.h"

// A new locator with one reference, serving `world`'s controller.
IWbemLocator* CreateComLocator(std::shared_ptr<ProviderWorld> world);
