#include "FileBytes.h"

#include "PosixHandles.h"
#include "TextConvert.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace tessaly {

std::optional<std::string> ReadWholeFile(const std::wstring& path, uint64_t limit) {
  // Without blocking: a FIFO or device given as the file is refused below instead of waited for.
  posix::UniqueFd file(::open(WideToNative(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.get() < 0) return std::nullopt;
  struct stat info{};
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > limit) return std::nullopt;
  std::string bytes;
  try {
    bytes.resize(static_cast<size_t>(info.st_size));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  size_t total = 0;
  while (total < bytes.size()) {
    ssize_t got = ::read(file.get(), bytes.data() + total, bytes.size() - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    total += static_cast<size_t>(got);
  }
  if (total != bytes.size()) return std::nullopt;
  return bytes;
}

bool WriteWholeFile(const std::wstring& path, std::string_view bytes) {
  posix::UniqueFd file(::open(WideToNative(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (file.get() < 0) return false;
  size_t total = 0;
  while (total < bytes.size()) {
    ssize_t written = ::write(file.get(), bytes.data() + total, bytes.size() - total);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    total += static_cast<size_t>(written);
  }
  return true;
}

}  // namespace tessaly
