#include "FileHandle.h"

#include "TextConvert.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tessaly {
namespace {

// Never blocks in open (a FIFO without a writer would hold it for ever) and never takes a
// terminal as the controlling one; what was opened must be a regular file.
constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

FileHandle AdoptRegular(int fd) {
  if (fd < 0) return FileHandle();
  struct stat info{};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int reason = S_ISDIR(info.st_mode) ? EISDIR : ENXIO;
    ::close(fd);
    errno = reason;
    return FileHandle();
  }
  // O_NONBLOCK stays: it has no effect on reads of a regular file, and clearing it would cost two
  // more calls per file.
  return FileHandle::Adopt(fd);
}

}  // namespace

FileHandle FileHandle::OpenForRead(const std::wstring& path, bool followLink) {
  return AdoptRegular(::open(WideToNative(path).c_str(), kReadFlags | (followLink ? 0 : O_NOFOLLOW)));
}

FileHandle FileHandle::OpenForReadAt(int folder, const char* name, bool followLink) {
  return AdoptRegular(::openat(folder, name, kReadFlags | (followLink ? 0 : O_NOFOLLOW)));
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

size_t FileHandle::ReadAt(uint64_t offset, void* buffer, size_t count) {
  if (!IsOpen()) return 0;
  size_t total = 0;
  auto* out = static_cast<char*>(buffer);
  while (total < count) {
    ssize_t got = ::pread(static_cast<int>(native_), out + total, count - total, static_cast<off_t>(offset + total));
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
