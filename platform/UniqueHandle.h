// A move-only owner of one OS handle, in the manner of the well-known unique_* wrappers.
// Traits give the handle type, its "nothing" value and how to let it go:
//
//   struct FindTraits {
//     using Type = HANDLE;
//     static Type Invalid() { return INVALID_HANDLE_VALUE; }
//     static void Close(Type h) { FindClose(h); }
//   };
//   using UniqueFind = UniqueHandle<FindTraits>;
#pragma once

#include <utility>

namespace tessaly {

template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() noexcept : value_(Traits::Invalid()) {}
  explicit UniqueHandle(Type value) noexcept : value_(value) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Type get() const noexcept { return value_; }
  bool valid() const noexcept { return value_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return valid(); }

  // Closes what is held (if anything) and takes the new value.
  void reset(Type value = Traits::Invalid()) noexcept {
    Type old = std::exchange(value_, value);
    if (old != Traits::Invalid()) Traits::Close(old);
  }
  // Gives up ownership without closing.
  [[nodiscard]] Type release() noexcept { return std::exchange(value_, Traits::Invalid()); }

  // For out-parameters of OS calls: closes what is held and hands out the slot.
  Type* put() noexcept {
    reset();
    return &value_;
  }

 private:
  Type value_;
};

}  // namespace tessaly
