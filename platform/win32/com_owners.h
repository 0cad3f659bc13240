// Owners for COM interfaces, BSTRs and VARIANTs: each frees what it holds exactly once.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

#include "platform/win32/unique.h"

// A COM interface pointer, released when dropped.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller holds.
  explicit ComPtr(Interface* p) : p_(p) {}
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& o) noexcept {
    reset(std::exchange(o.p_, nullptr));
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }
  void reset(Interface* p = nullptr) {
    if (p_ != nullptr) p_->Release();
    p_ = p;
  }
  Interface* get() const { return p_; }
  Interface* operator->() const { return p_; }
  Interface** put() {
    reset();
    return &p_;
  }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  Interface* p_ = nullptr;
};

// A SAFEARRAY, destroyed when dropped.
using UniqueSafeArray = Unique<HandleTraits<SAFEARRAY*, ::SafeArrayDestroy>>;

// A BSTR made from a wide string, freed when dropped.
class Bstr {
 public:
  explicit Bstr(const wchar_t* text) : s_(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(s_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return s_; }

 private:
  BSTR s_;
};

// A VARIANT cleared when dropped.
class Variant {
 public:
  Variant() { VariantInit(&v_); }
  ~Variant() { VariantClear(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* get() { return &v_; }
  VARIANT* operator->() { return &v_; }

 private:
  VARIANT v_;
};
