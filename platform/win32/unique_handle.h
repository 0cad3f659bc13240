// Owners for Windows handles and COM interfaces: each frees what it holds exactly once,
// on every path.
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits>
class Unique {
 public:
  using Handle = typename Traits::Handle;
  Unique() = default;
  explicit Unique(Handle h) : h_(h) {}
  Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, Traits::Empty())) {}
  Unique& operator=(Unique&& o) noexcept {
    reset(std::exchange(o.h_, Traits::Empty()));
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  ~Unique() { reset(); }
  void reset(Handle h = Traits::Empty()) {
    if (h_ != Traits::Empty()) Traits::Free(h_);
    h_ = h;
  }
  Handle get() const { return h_; }
  Handle* put() {
    reset();
    return &h_;
  }
  explicit operator bool() const { return h_ != Traits::Empty(); }

 private:
  Handle h_ = Traits::Empty();
};

struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Free(Handle h) { CloseHandle(h); }
};
using UniqueFile = Unique<FileHandleTraits>;

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Free(Handle h) { FindClose(h); }
};
using UniqueFind = Unique<FindHandleTraits>;
