#include "FreeSpace.h"

#include "LongPath.h"

#include <windows.h>

namespace tessaly {

bool QueryClusterInfo(const std::wstring& path, ClusterInfo& info) {
  // GetDiskFreeSpaceW wants the volume root; a scan root may be any folder.
  wchar_t root[MAX_PATH + 1] = {};
  if (!GetVolumePathNameW(ExtendedLengthPath(path).c_str(), root, MAX_PATH)) return false;
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!GetDiskFreeSpaceW(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) {
    return false;
  }
  info.sectorsPerCluster = sectorsPerCluster;
  info.bytesPerSector = bytesPerSector;
  return true;
}

bool QueryFreeSpace(const std::wstring& path, FreeSpaceInfo& info) {
  ULARGE_INTEGER available{}, total{}, totalFree{};
  if (!GetDiskFreeSpaceExW(ExtendedLengthPath(path).c_str(), &available, &total, &totalFree)) return false;
  info.freeBytesAvailable = available.QuadPart;
  info.totalBytes = total.QuadPart;
  info.totalFreeBytes = totalFree.QuadPart;
  return true;
}

}  // namespace tessaly
