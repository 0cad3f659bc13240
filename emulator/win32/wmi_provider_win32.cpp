// The in-process COM server registered in a test prefix as the class behind the WMI
// locator's CLSID: every locator it makes serves the emulated controller of the
// prefix's scenario, read afresh for each locator.
#include <windows.h>
#include <wbemcli.h>

#include "emulator/win32/com_object_win32.h"
#include "emulator/win32/provider_world_win32.h"
#include "emulator/win32/wbem_com_win32.h"
#include "platform/win32/com_owners.h"

namespace {

const CLSID kClsidWbemLocator = {0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};

LONG g_locks = 0;  // IClassFactory::LockServer

class LocatorFactory final : public ComObject<IClassFactory> {
 public:
  LocatorFactory() : ComObject(IID_IClassFactory) {}

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    const auto world = ProviderWorld::Load();
    if (!world || world->model().Has(Fault::kNoLocator)) return E_FAIL;
    const ComPtr<IWbemLocator> locator(CreateComLocator(world));
    return locator->QueryInterface(riid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) InterlockedIncrement(&g_locks);
    else InterlockedDecrement(&g_locks);
    return S_OK;
  }
};

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, kClsidWbemLocator)) return CLASS_E_CLASSNOTAVAILABLE;
  const ComPtr<LocatorFactory> factory(new LocatorFactory);
  return factory->QueryInterface(riid, object);
}

// The module stays while any of its objects lives or a client holds a lock.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return g_liveComObjects == 0 && g_locks == 0 ? S_OK : S_FALSE; }
