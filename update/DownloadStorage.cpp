#include "DownloadStorage.h"

#include <utility>

namespace tessaly {

DownloadMapping& DownloadMapping::operator=(DownloadMapping&& other) noexcept {
  if (this != &other) {
    Close();
    status_ = other.status_;
    data_ = std::exchange(other.data_, nullptr);
    size_ = other.size_;
    file_ = std::exchange(other.file_, -1);
    mapping_ = std::exchange(other.mapping_, 0);
  }
  return *this;
}

}  // namespace tessaly
