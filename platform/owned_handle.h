// A handle one of the platform's interfaces gave out, given back to that interface (closed)
// when this goes. The interfaces hand out handles only this way, so none stays open on any
// path; the interface that issued it is the one that closes it.
#pragma once

#include <cstdint>
#include <utility>

template <class Issuer>
class OwnedHandle {
 public:
  using Handle = std::uintptr_t;

  OwnedHandle() = default;
  OwnedHandle(Issuer& issuer, Handle handle) : issuer_(&issuer), handle_(handle) {}
  OwnedHandle(OwnedHandle&& other) noexcept : issuer_(other.issuer_), handle_(std::exchange(other.handle_, 0)) {}
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    if (this != &other) {
      reset();
      issuer_ = other.issuer_;
      handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() { reset(); }

  // The handle as the system gave it, for the issuer's own calls.
  Handle get() const { return handle_; }
  // Whether it names something open (the issuer says which values do not).
  bool valid() const { return Issuer::IsValid(handle_); }
  void reset() {
    if (issuer_ != nullptr && Issuer::IsValid(handle_)) issuer_->Close(handle_);
    handle_ = 0;
  }

 private:
  Issuer* issuer_ = nullptr;
  Handle handle_ = 0;
};
