#include "MappedFile.h"

#include <utility>

namespace tessaly {

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    native_ = std::move(other.native_);
    status_ = std::exchange(other.status_, Status::OpenFailed);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

}  // namespace tessaly
