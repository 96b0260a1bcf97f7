#include "FileHandle.h"

#include "TextConvert.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tessaly {

FileHandle FileHandle::OpenForRead(const std::wstring& path) {
  int fd = ::open(WideToNative(path).c_str(), O_RDONLY | O_CLOEXEC);
  return Adopt(fd);
}

size_t FileHandle::Read(void* buffer, size_t count) {
  if (!IsOpen()) return 0;
  size_t total = 0;
  auto* out = static_cast<char*>(buffer);
  while (total < count) {
    ssize_t got = ::read(static_cast<int>(native_), out + total, count - total);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    total += static_cast<size_t>(got);
  }
  return total;
}

bool FileHandle::Seek(uint64_t offset) {
  if (!IsOpen()) return false;
  return ::lseek(static_cast<int>(native_), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

int64_t FileHandle::Size() const {
  struct stat info{};
  if (!IsOpen() || ::fstat(static_cast<int>(native_), &info) != 0) return -1;
  return info.st_size;
}

void FileHandle::Close() {
  if (IsOpen()) ::close(static_cast<int>(native_));
  native_ = kInvalid;
}

}  // namespace tessaly
