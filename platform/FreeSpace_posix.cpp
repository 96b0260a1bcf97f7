#include "FreeSpace.h"

#include "TextConvert.h"

#include <sys/statvfs.h>

namespace tessaly {

bool QueryClusterInfo(const std::wstring& path, ClusterInfo& info) {
  struct statvfs fs{};
  if (statvfs(WideToNative(path).c_str(), &fs) != 0 || fs.f_frsize == 0) return false;
  // The fragment size is the allocation unit; present it as 512-byte sectors where it divides.
  if (fs.f_frsize % 512 == 0) {
    info.bytesPerSector = 512;
    info.sectorsPerCluster = static_cast<uint32_t>(fs.f_frsize / 512);
  } else {
    info.bytesPerSector = static_cast<uint32_t>(fs.f_frsize);
    info.sectorsPerCluster = 1;
  }
  return true;
}

bool QueryFreeSpace(const std::wstring& path, FreeSpaceInfo& info) {
  struct statvfs fs{};
  if (statvfs(WideToNative(path).c_str(), &fs) != 0) return false;
  info.freeBytesAvailable = static_cast<uint64_t>(fs.f_bavail) * fs.f_frsize;
  info.totalBytes = static_cast<uint64_t>(fs.f_blocks) * fs.f_frsize;
  info.totalFreeBytes = static_cast<uint64_t>(fs.f_bfree) * fs.f_frsize;
  return true;
}

}  // namespace tessaly
