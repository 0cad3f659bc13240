#include "emulator/win32/wbem_com_win32.h"

#include <utility>

#include "emulator/emulated_wmi.h"
#include "emulator/win32/com_object_win32.h"
#include "platform/win32/variant_convert.h"
#include "platform/win32/wide.h"

namespace {

// Lets the server find its own object behind an IWbemClassObject a client hands back.
const IID kIidEmulatedObject = {0x6d3c1e52, 0x8a47, 0x4b0e, {0x9f, 0x21, 0x5c, 0x7a, 0x0d, 0x3e, 0x44, 0x19}};

std::u16string Text(const wchar_t* text) { return text != nullptr ? AsUtf16(text) : u""; }

// One call that reaches the controller: the world's state first, its traces after.
template <typename Call>
HRESULT Guarded(ProviderWorld& world, Call call) {
  world.Refresh();
  const HRESULT hr = call();
  world.Record();
  return hr;
}

// A COM object over one portable object, sharing the world that the portable object acts on.
template <typename Interface, typename Portable>
class Adapter : public ComObject<Interface> {
 protected:
  Adapter(const IID& iid, std::shared_ptr<ProviderWorld> world, std::unique_ptr<Portable> inner,
          const IID* identity = nullptr)
      : ComObject<Interface>(iid, identity), world_(std::move(world)), inner_(std::move(inner)) {}

  std::shared_ptr<ProviderWorld> world_;
  std::unique_ptr<Portable> inner_;
};

class ComClassObject final : public Adapter<IWbemClassObject, WbemObject> {
 public:
  ComClassObject(std::shared_ptr<ProviderWorld> world, std::unique_ptr<WbemObject> object)
      : Adapter(IID_IWbemClassObject, std::move(world), std::move(object), &kIidEmulatedObject) {}

  static IWbemClassObject* Wrap(const std::shared_ptr<ProviderWorld>& world, std::unique_ptr<WbemObject> object) {
    return object ? new ComClassObject(world, std::move(object)) : nullptr;
  }
  // The portable object behind one of this server's objects; null for any other object.
  static WbemObject* Unwrap(IWbemClassObject* object) {
    void* own = nullptr;
    if (object == nullptr || FAILED(object->QueryInterface(kIidEmulatedObject, &own))) return nullptr;
    auto* self = static_cast<ComClassObject*>(static_cast<IWbemClassObject*>(own));
    self->Release();  // the caller's reference keeps it alive
    return self->inner_.get();
  }

  HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG, VARIANT* value, CIMTYPE* type, LONG* flavor) override {
    if (name == nullptr) return WBEM_E_INVALID_PARAMETER;
    WbemValue got;
    const HRESULT hr = inner_->Get(Text(name), got);
    if (type != nullptr) *type = CIM_EMPTY;
    if (flavor != nullptr) *flavor = 0;
    if (hr != S_OK || value == nullptr) return hr;
    VariantInit(value);
    return ToVariant(got, *value) ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE Put(LPCWSTR name, LONG, VARIANT* value, CIMTYPE) override {
    if (name == nullptr) return WBEM_E_INVALID_PARAMETER;
    VARIANT empty;
    VariantInit(&empty);
    return inner_->Put(Text(name), FromVariant(value != nullptr ? *value : empty));
  }
  HRESULT STDMETHODCALLTYPE GetMethod(LPCWSTR name, LONG, IWbemClassObject** in, IWbemClassObject** out) override {
    if (name == nullptr) return WBEM_E_INVALID_PARAMETER;
    std::unique_ptr<WbemObject> signature;
    const HRESULT hr = inner_->GetMethod(Text(name), in != nullptr, signature);
    if (in != nullptr) *in = Wrap(world_, std::move(signature));
    if (out != nullptr) *out = nullptr;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE SpawnInstance(LONG, IWbemClassObject** instance) override {
    if (instance == nullptr) return WBEM_E_INVALID_PARAMETER;
    std::unique_ptr<WbemObject> spawned;
    const HRESULT hr = inner_->SpawnInstance(spawned);
    *instance = Wrap(world_, std::move(spawned));
    return hr;
  }
  // Not used by a client of the controller.
  HRESULT STDMETHODCALLTYPE GetQualifierSet(IWbemQualifierSet**) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE Delete(LPCWSTR) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetNames(LPCWSTR, LONG, VARIANT*, SAFEARRAY**) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE BeginEnumeration(LONG) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE Next(LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE EndEnumeration() override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetPropertyQualifierSet(LPCWSTR, IWbemQualifierSet**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE Clone(IWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetObjectText(LONG, BSTR*) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE SpawnDerivedClass(LONG, IWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE CompareTo(LONG, IWbemClassObject*) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetPropertyOrigin(LPCWSTR, BSTR*) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE InheritsFrom(LPCWSTR) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE PutMethod(LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DeleteMethod(LPCWSTR) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE BeginMethodEnumeration(LONG) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE NextMethod(LONG, BSTR*, IWbemClassObject**, IWbemClassObject**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE EndMethodEnumeration() override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetMethodQualifierSet(LPCWSTR, IWbemQualifierSet**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE GetMethodOrigin(LPCWSTR, BSTR*) override { return WBEM_E_NOT_SUPPORTED; }
};

class ComEnumerator final : public Adapter<IEnumWbemClassObject, WbemEnumerator> {
 public:
  ComEnumerator(std::shared_ptr<ProviderWorld> world, std::unique_ptr<WbemEnumerator> enumerator)
      : Adapter(IID_IEnumWbemClassObject, std::move(world), std::move(enumerator)) {}

  // Gives at most one object per call, which is all a client of the controller asks for.
  HRESULT STDMETHODCALLTYPE Next(LONG, ULONG count, IWbemClassObject** objects, ULONG* returned) override {
    if (objects == nullptr || returned == nullptr) return WBEM_E_INVALID_PARAMETER;
    *returned = 0;
    if (count == 0) return S_OK;
    std::unique_ptr<WbemObject> next;
    const HRESULT hr = Guarded(*world_, [&] { return inner_->Next(next); });
    objects[0] = ComClassObject::Wrap(world_, std::move(next));
    if (objects[0] != nullptr) *returned = 1;
    return hr == S_OK && count > *returned ? static_cast<HRESULT>(WBEM_S_FALSE) : hr;
  }
  // Not used by a client of the controller.
  HRESULT STDMETHODCALLTYPE Reset() override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE NextAsync(ULONG, IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE Skip(LONG, ULONG) override { return WBEM_E_NOT_SUPPORTED; }
};

class ComServices final : public Adapter<IWbemServices, WbemServices> {
 public:
  ComServices(std::shared_ptr<ProviderWorld> world, std::unique_ptr<WbemServices> services)
      : Adapter(IID_IWbemServices, std::move(world), std::move(services)) {}

  HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR language, const BSTR query, LONG flags, IWbemContext*,
                                      IEnumWbemClassObject** result) override {
    if (result == nullptr) return WBEM_E_INVALID_PARAMETER;
    std::unique_ptr<WbemEnumerator> enumerator;
    const HRESULT hr =
        Guarded(*world_, [&] { return inner_->ExecQuery(Text(language), Text(query), flags, enumerator); });
    *result = enumerator ? new ComEnumerator(world_, std::move(enumerator)) : nullptr;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE GetObject(const BSTR path, LONG, IWbemContext*, IWbemClassObject** object,
                                      IWbemCallResult** callResult) override {
    if (callResult != nullptr) *callResult = nullptr;
    std::unique_ptr<WbemObject> found;
    const HRESULT hr = Guarded(*world_, [&] { return inner_->GetClassObject(Text(path), found); });
    if (object != nullptr) *object = ComClassObject::Wrap(world_, std::move(found));
    return hr;
  }
  HRESULT STDMETHODCALLTYPE ExecMethod(const BSTR path, const BSTR method, LONG, IWbemContext*, IWbemClassObject* in,
                                       IWbemClassObject** out, IWbemCallResult** callResult) override {
    if (callResult != nullptr) *callResult = nullptr;
    if (in != nullptr && ComClassObject::Unwrap(in) == nullptr) return WBEM_E_INVALID_PARAMETER;
    std::unique_ptr<WbemObject> results;
    const HRESULT hr = Guarded(
        *world_, [&] { return inner_->ExecMethod(Text(path), Text(method), ComClassObject::Unwrap(in), results); });
    if (out != nullptr) *out = ComClassObject::Wrap(world_, std::move(results));
    return hr;
  }
  // Not used by a client of the controller.
  HRESULT STDMETHODCALLTYPE OpenNamespace(const BSTR, LONG, IWbemContext*, IWbemServices**,
                                          IWbemCallResult**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE CancelAsyncCall(IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE QueryObjectSink(LONG, IWbemObjectSink**) override { return WBEM_E_NOT_SUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetObjectAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE PutClass(IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE PutClassAsync(IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DeleteClass(const BSTR, LONG, IWbemContext*, IWbemCallResult**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DeleteClassAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE CreateClassEnum(const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE CreateClassEnumAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE PutInstance(IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE PutInstanceAsync(IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DeleteInstance(const BSTR, LONG, IWbemContext*, IWbemCallResult**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DeleteInstanceAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE CreateInstanceEnum(const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE CreateInstanceEnumAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE ExecQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE ExecNotificationQuery(const BSTR, const BSTR, LONG, IWbemContext*,
                                                  IEnumWbemClassObject**) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE ExecNotificationQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*,
                                                       IWbemObjectSink*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE ExecMethodAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*,
                                            IWbemObjectSink*) override {
    return WBEM_E_NOT_SUPPORTED;
  }
};

class ComLocator final : public Adapter<IWbemLocator, WbemLocator> {
 public:
  explicit ComLocator(const std::shared_ptr<ProviderWorld>& world)
      : Adapter(IID_IWbemLocator, world, CreateEmulatedLocator(world->model())) {}

  HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR resource, const BSTR, const BSTR, const BSTR, LONG, const BSTR,
                                          IWbemContext*, IWbemServices** services) override {
    if (services == nullptr) return WBEM_E_INVALID_PARAMETER;
    std::unique_ptr<WbemServices> connected;
    const HRESULT hr = Guarded(*world_, [&] { return inner_->ConnectServer(Text(resource), connected); });
    *services = connected ? new ComServices(world_, std::move(connected)) : nullptr;
    return hr;
  }
};

}  // namespace

IWbemLocator* CreateComLocator(std::shared_ptr<ProviderWorld> world) { return new ComLocator(world); }
