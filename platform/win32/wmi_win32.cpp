#include "platform/win32/wmi_win32.h"

#include <windows.h>
#include <wbemcli.h>

#include "platform/win32/com_owners.h"
#include "platform/win32/variant_convert.h"
#include "platform/win32/wide.h"

namespace {

const CLSID kClsidWbemLocator = {0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
const IID kIidWbemLocator = {0xDC12A687, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};

class Win32Object final : public WbemObject {
 public:
  explicit Win32Object(IWbemClassObject* object) { object_.reset(object); }
  IWbemClassObject* get() const { return object_.get(); }

  HResult Get(const std::u16string& name, WbemValue& value) override {
    Variant v;
    const HRESULT hr = object_->Get(AsWide(name.c_str()), 0, v.get(), nullptr, nullptr);
    if (hr == S_OK) value = FromVariant(*v.get());
    return hr;
  }
  HResult Put(const std::u16string& name, const WbemValue& value) override {
    Variant v;
    if (!ToVariant(value, *v.get())) return E_OUTOFMEMORY;
    // The object keeps a copy; the local VARIANT and its array go when `v` does.
    return object_->Put(AsWide(name.c_str()), 0, v.get(), 0);
  }
  HResult GetMethod(const std::u16string& name, bool wantInSignature,
                    std::unique_ptr<WbemObject>& inSignature) override {
    IWbemClassObject* in = nullptr;
    const HRESULT hr = object_->GetMethod(AsWide(name.c_str()), 0, wantInSignature ? &in : nullptr, nullptr);
    if (in != nullptr) inSignature = std::make_unique<Win32Object>(in);
    return hr;
  }
  HResult SpawnInstance(std::unique_ptr<WbemObject>& instance) override {
    IWbemClassObject* spawned = nullptr;
    const HRESULT hr = object_->SpawnInstance(0, &spawned);
    if (spawned != nullptr) instance = std::make_unique<Win32Object>(spawned);
    return hr;
  }

 private:
  ComPtr<IWbemClassObject> object_;
};

class Win32Enumerator final : public WbemEnumerator {
 public:
  explicit Win32Enumerator(IEnumWbemClassObject* e) { enumerator_.reset(e); }
  HResult Next(std::unique_ptr<WbemObject>& object) override {
    IWbemClassObject* next = nullptr;
    ULONG returned = 0;
    const HRESULT hr = enumerator_->Next(static_cast<LONG>(WBEM_INFINITE), 1, &next, &returned);
    if (next != nullptr && returned == 1) object = std::make_unique<Win32Object>(next);
    return hr;
  }

 private:
  ComPtr<IEnumWbemClassObject> enumerator_;
};

class Win32Services final : public WbemServices {
 public:
  explicit Win32Services(IWbemServices* s) { services_.reset(s); }
  HResult ExecQuery(const std::u16string& language, const std::u16string& query, std::int32_t flags,
                    std::unique_ptr<WbemEnumerator>& result) override {
    const Bstr lang(AsWide(language.c_str())), text(AsWide(query.c_str()));
    IEnumWbemClassObject* e = nullptr;
    const HRESULT hr = services_->ExecQuery(lang.get(), text.get(), flags, nullptr, &e);
    if (e != nullptr) result = std::make_unique<Win32Enumerator>(e);
    return hr;
  }
  HResult GetClassObject(const std::u16string& path, std::unique_ptr<WbemObject>& object) override {
    const Bstr p(AsWide(path.c_str()));
    IWbemClassObject* o = nullptr;
    const HRESULT hr = services_->GetObject(p.get(), 0, nullptr, &o, nullptr);
    if (o != nullptr) object = std::make_unique<Win32Object>(o);
    return hr;
  }
  HResult ExecMethod(const std::u16string& objectPath, const std::u16string& method, WbemObject* inParams,
                     std::unique_ptr<WbemObject>& outParams) override {
    const Bstr p(AsWide(objectPath.c_str())), m(AsWide(method.c_str()));
    IWbemClassObject* in = inParams != nullptr ? static_cast<Win32Object*>(inParams)->get() : nullptr;
    IWbemClassObject* out = nullptr;
    const HRESULT hr = services_->ExecMethod(p.get(), m.get(), 0, nullptr, in, &out, nullptr);
    if (out != nullptr) outParams = std::make_unique<Win32Object>(out);
    return hr;
  }

 private:
  ComPtr<IWbemServices> services_;
};

class Win32Locator final : public WbemLocator {
 public:
  explicit Win32Locator(IWbemLocator* l) { locator_.reset(l); }
  HResult ConnectServer(const std::u16string& resource, std::unique_ptr<WbemServices>& services) override {
    const Bstr r(AsWide(resource.c_str()));
    IWbemServices* s = nullptr;
    const HRESULT hr = locator_->ConnectServer(r.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, &s);
    if (s != nullptr) services = std::make_unique<Win32Services>(s);
    return hr;
  }

 private:
  ComPtr<IWbemLocator> locator_;
};

}  // namespace

HResult Win32ComRuntime::Initialize() { return CoInitialize(nullptr); }

void Win32ComRuntime::Uninitialize() { CoUninitialize(); }

HResult Win32ComRuntime::CreateLocator(std::unique_ptr<WbemLocator>& locator) {
  IWbemLocator* made = nullptr;
  const HRESULT hr = CoCreateInstance(kClsidWbemLocator, nullptr, CLSCTX_INPROC_SERVER, kIidWbemLocator,
                                      reinterpret_cast<void**>(&made));
  if (FAILED(hr)) return hr;
  if (made == nullptr) return E_POINTER;
  locator = std::make_unique<Win32Locator>(made);
  return S_OK;
}
