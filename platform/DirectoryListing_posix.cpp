#include "DirectoryListing.h"

#include "TextConvert.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaly {
namespace {

// 100 ns units between 1601-01-01 and 1970-01-01.
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;

uint64_t ToFileTime(const struct timespec& t) {
  if (t.tv_sec < 0) return 0;
  return kUnixEpochAsFileTime + static_cast<uint64_t>(t.tv_sec) * 10000000ULL +
         static_cast<uint64_t>(t.tv_nsec) / 100;
}

class PosixListing final : public DirectoryListing {
 public:
  explicit PosixListing(DIR* dir) : dir_(dir) {
    struct stat own{};
    if (fstat(dirfd(dir_), &own) == 0) {
      device_ = own.st_dev;
      inode_ = own.st_ino;
      known_ = true;
    }
  }
  ~PosixListing() override { closedir(dir_); }

  bool Next(DirEntry& entry) override {
    // Sizes and types are read relative to the open folder: no full-path lookups per file.
    while (dirent* raw = readdir(dir_)) {
      struct stat info{};
      const int fd = dirfd(dir_);
      bool link = raw->d_type == DT_LNK;
      if (raw->d_type == DT_DIR) {
        entry.isDirectory = true;
        entry.isLink = false;
        // A folder on another file system is a mount point, like a volume mounted in a folder
        // on Windows (a reparse point): that volume is walked as a root of its own, not from here.
        entry.isLinkedDirectory = fstatat(fd, raw->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && info.st_dev != device_;
        entry.sizeHigh = entry.sizeLow = 0;
        entry.lastWriteTime = ToFileTime(info.st_mtim);
        entry.name = NativeToWide(raw->d_name);
        return true;
      }
      if (raw->d_type == DT_UNKNOWN) {
        if (fstatat(fd, raw->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
        link = S_ISLNK(info.st_mode);
        if (!link && S_ISDIR(info.st_mode)) {
          entry.isDirectory = true;
          entry.isLink = false;
          entry.isLinkedDirectory = info.st_dev != device_;
          entry.sizeHigh = entry.sizeLow = 0;
          entry.lastWriteTime = ToFileTime(info.st_mtim);
          entry.name = NativeToWide(raw->d_name);
          return true;
        }
      }
      // Regular files and links: what the entry leads to. A dangling link is passed over.
      if (fstatat(fd, raw->d_name, &info, 0) != 0) continue;
      entry.name = NativeToWide(raw->d_name);
      entry.isDirectory = S_ISDIR(info.st_mode);
      entry.isLinkedDirectory = link && entry.isDirectory;
      entry.isLink = link;
      const uint64_t size = entry.isDirectory ? 0 : static_cast<uint64_t>(info.st_size);
      entry.sizeHigh = static_cast<uint32_t>(size >> 32);
      entry.sizeLow = static_cast<uint32_t>(size);
      entry.lastWriteTime = ToFileTime(info.st_mtim);
      return true;
    }
    return false;
  }

  FileHandle OpenFile(const std::wstring& name, const std::wstring&, bool followLink) const override {
    return FileHandle::OpenForReadAt(dirfd(dir_), WideToNative(name).c_str(), followLink);
  }

  bool Identity(FolderIdentity& identity) const override {
    identity = {static_cast<uint64_t>(device_), static_cast<uint64_t>(inode_)};
    return known_;
  }

 private:
  DIR* dir_;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  bool known_ = false;
};

class PosixDirectorySource final : public DirectorySource {
 public:
  bool OpensConcurrently() const override { return true; }

  std::unique_ptr<DirectoryListing> Open(const std::wstring& folderPath) override {
    OpenFailure failure;
    return OpenChecked(folderPath, failure);
  }

  std::unique_ptr<DirectoryListing> OpenChecked(const std::wstring& folderPath, OpenFailure& failure) override {
    // Without blocking (a FIFO put in the folder's place) and without following a link put there.
    const int fd = ::open(WideToNative(folderPath).c_str(),
                          O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
    if (!dir) {
      const int reason = errno;
      if (fd >= 0) ::close(fd);
      failure = reason == EMFILE || reason == ENFILE || reason == ENOMEM ? OpenFailure::OutOfResources
                                                                          : OpenFailure::Unavailable;
      return nullptr;
    }
    failure = OpenFailure::None;
    return std::make_unique<PosixListing>(dir);
  }
};

}  // namespace

DirectorySource& SystemDirectorySource() {
  static PosixDirectorySource source;
  return source;
}

}  // namespace tessaly
