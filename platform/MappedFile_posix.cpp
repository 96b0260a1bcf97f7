#include "MappedFile.h"

#include "PosixHandles.h"
#include "TextConvert.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <utility>

namespace tessaly {

struct MappedFile::Native {
  posix::UniqueFd fd;
  void* view = nullptr;
  size_t length = 0;
};

void MappedFile::NativeRelease::operator()(Native* native) const {
  if (native->view) ::munmap(native->view, native->length);
  delete native;
}

MappedFile MappedFile::Open(const std::wstring& path) {
  MappedFile mapped;
  // Never blocks on a FIFO put in the file's place; only a regular file is mapped (below).
  posix::UniqueFd file(::open(WideToNative(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!file) return mapped;
  const int fd = file.get();
  mapped.native_.reset(new Native{std::move(file)});
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
  mapped.native_->view = view;
  mapped.native_->length = static_cast<size_t>(mapped.size_);
  mapped.data_ = static_cast<const uint8_t*>(view);
  mapped.status_ = Status::Ok;
  return mapped;
}

}  // namespace tessaly
