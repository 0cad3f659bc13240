// The IUnknown part of a COM object that implements one interface: a reference count
// that deletes the object at zero, and QueryInterface for IUnknown, the interface and
// an optional private identity by which the server recognises its own objects. Every
// such object is counted, so the server's module stays loaded while one lives.
#pragma once

#include <windows.h>
#include <unknwn.h>

inline LONG g_liveComObjects = 0;

template <typename Interface>
class ComObject : public Interface {
 public:
  ComObject(const IID& iid, const IID* identity = nullptr) : iid_(iid), identity_(identity) {
    InterlockedIncrement(&g_liveComObjects);
  }
  virtual ~ComObject() { InterlockedDecrement(&g_liveComObjects); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, iid_) ||
        (identity_ != nullptr && IsEqualIID(riid, *identity_))) {
      *object = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 private:
  const IID& iid_;
  const IID* identity_;
  LONG references_ = 1;
};
