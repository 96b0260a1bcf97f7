// Where the RAR readers take the archive's bytes from: memory, or an open file read through a
// window. At(offset, count) gives `count` bytes at `offset`, or null when they are not all there;
// the pointer is good until the next call.
#pragma once

#include "FileHandle.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessaly::rar {

class MemoryBytes {
 public:
  MemoryBytes(const uint8_t* data, uint64_t size) : data_(data), size_(data ? size : 0) {}
  const uint8_t* At(uint64_t offset, uint64_t count) {
    return offset <= size_ && count <= size_ - offset ? data_ + offset : nullptr;
  }
  uint64_t Size() const { return size_; }

 private:
  const uint8_t* data_;
  uint64_t size_;
};

// Never beyond the size the file had when the listing began, and a short read (the file shrank)
// is the end of the data. Most headers fit the 8 KiB window; a larger one (up to `maxRead`) is
// read whole into a buffer of its own.
class FileBytes {
 public:
  static constexpr size_t kWindow = 8192;
  static constexpr size_t kMaxRead = 2 * 1024 * 1024 + 64;

  explicit FileBytes(FileHandle& file) : file_(file) {
    const int64_t size = file.Size();
    size_ = size > 0 ? static_cast<uint64_t>(size) : 0;
  }
  const uint8_t* At(uint64_t offset, uint64_t count) {
    if (offset > size_ || count > size_ - offset) return nullptr;
    if (offset >= start_ && count <= have_ && offset - start_ <= have_ - count) return window_ + (offset - start_);
    if (count > kWindow) return Large(offset, count);
    const size_t want = static_cast<size_t>(std::min<uint64_t>(kWindow, size_ - offset));
    start_ = offset;
    have_ = file_.ReadAt(offset, window_, want);
    return have_ >= count ? window_ : nullptr;
  }
  uint64_t Size() const { return size_; }

 private:
  const uint8_t* Large(uint64_t offset, uint64_t count) {
    if (count > kMaxRead) return nullptr;
    large_.resize(static_cast<size_t>(count));
    return file_.ReadAt(offset, large_.data(), large_.size()) == count ? large_.data() : nullptr;
  }

  FileHandle& file_;
  uint64_t size_ = 0;
  uint64_t start_ = 0;
  size_t have_ = 0;
  uint8_t window_[kWindow];
  std::vector<uint8_t> large_;
};

}  // namespace tessaly::rar
