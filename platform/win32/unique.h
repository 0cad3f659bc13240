// One owner type per kind of handle: the traits say what "empty" is and how to free it.
#pragma once

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
  Handle release() { return std::exchange(h_, Traits::Empty()); }
  Handle get() const { return h_; }
  Handle* put() {
    reset();
    return &h_;
  }
  explicit operator bool() const { return h_ != Traits::Empty(); }

 private:
  Handle h_ = Traits::Empty();
};

// Traits for a handle whose "empty" value is null and that one function frees.
template <typename H, auto FreeFunction>
struct HandleTraits {
  using Handle = H;
  static Handle Empty() { return nullptr; }
  static void Free(Handle h) { FreeFunction(h); }
};
