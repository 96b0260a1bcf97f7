#include "DownloadStorage.h"

#include "TextConvert.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace tessaly {

DownloadMapping DownloadMapping::Create(const std::wstring& path, uint32_t size) {
  DownloadMapping result;
  result.size_ = size;
  int fd = open(WideToNative(path).c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return result;
  result.file_ = fd;
  result.status_ = Status::MappingFailed;
  if (size == 0) {
    errno = EINVAL;
    return result;
  }
  if (ftruncate(fd, size) != 0) return result;
  result.status_ = Status::ViewFailed;
  void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (view == MAP_FAILED) return result;
  result.data_ = static_cast<uint8_t*>(view);
  result.status_ = Status::Ok;
  return result;
}

void DownloadMapping::Close() {
  if (data_) munmap(std::exchange(data_, nullptr), size_);
  if (file_ != -1) close(static_cast<int>(std::exchange(file_, -1)));
}

bool CreateFolderIfMissing(const std::wstring& path) {
  std::string native = WideToNative(path);
  if (mkdir(native.c_str(), 0755) == 0) return true;
  if (errno != EEXIST) return false;
  struct stat info {};
  if (stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return true;
  errno = EEXIST;
  return false;
}

bool MoveIntoPlace(const std::wstring& from, const std::wstring& to) {
  if (rename(WideToNative(from).c_str(), WideToNative(to).c_str()) != 0) return false;
  sync();
  return true;
}

bool RemoveFileAt(const std::wstring& path) { return unlink(WideToNative(path).c_str()) == 0; }

UpdateGuid NewUpdateGuid() {
  static thread_local std::random_device device;
  std::uniform_int_distribution<uint32_t> any;
  UpdateGuid guid;
  guid.data1 = any(device);
  guid.data2 = static_cast<uint16_t>(any(device));
  guid.data3 = static_cast<uint16_t>((any(device) & 0x0FFF) | 0x4000);
  for (auto& b : guid.data4) b = static_cast<uint8_t>(any(device));
  return guid;
}

bool StartProgram(const std::wstring& program, const std::wstring& parameters, const std::wstring& folder) {
  std::string file = WideToNative(program);
  std::string argument = WideToNative(parameters);
  char* argv[] = {file.data(), argument.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 29))
  posix_spawn_file_actions_addchdir_np(&actions, WideToNative(folder).c_str());
#endif
  pid_t pid = 0;
  int status = posix_spawn(&pid, file.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (status != 0) errno = status;
  return status == 0;
}

}  // namespace tessaly
