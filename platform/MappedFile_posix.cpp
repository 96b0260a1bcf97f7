#include "MappedFile.h"

#include "TextConvert.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <utility>

namespace tessaly {

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    Release();
    status_ = std::exchange(other.status_, Status::OpenFailed);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    file_ = std::exchange(other.file_, -1);
    mapping_ = std::exchange(other.mapping_, 0);
  }
  return *this;
}

MappedFile MappedFile::Open(const std::wstring& path) {
  MappedFile mapped;
  // Never blocks on a FIFO put in the file's place; only a regular file is mapped (below).
  const int fd = ::open(WideToNative(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return mapped;
  mapped.file_ = fd;
  struct stat info{};
  // Only regular files have a size to map; as on Windows an empty file has nothing to map.
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) {
    mapped.status_ = Status::MappingFailed;
    return mapped;
  }
  mapped.size_ = static_cast<uint64_t>(info.st_size);
  if (mapped.size_ > static_cast<uint64_t>(SIZE_MAX)) {
    mapped.status_ = Status::ViewFailed;
    return mapped;
  }
  void* view = ::mmap(nullptr, static_cast<size_t>(mapped.size_), PROT_READ, MAP_PRIVATE, fd, 0);
  if (view == MAP_FAILED) {
    mapped.status_ = Status::ViewFailed;
    return mapped;
  }
  mapped.data_ = static_cast<const uint8_t*>(view);
  mapped.status_ = Status::Ok;
  return mapped;
}

void MappedFile::Release() {
  if (data_) ::munmap(const_cast<uint8_t*>(data_), static_cast<size_t>(size_));
  if (file_ != -1) ::close(static_cast<int>(file_));
  data_ = nullptr;
  file_ = -1;
}

}  // namespace tessaly
