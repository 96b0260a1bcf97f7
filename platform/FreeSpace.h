// Cluster size and free-space queries for the volume that holds a path.
#pragma once

#include <cstdint>
#include <string>

namespace tessaly {

struct ClusterInfo {
  uint32_t sectorsPerCluster = 0;
  uint32_t bytesPerSector = 0;
};

struct FreeSpaceInfo {
  uint64_t freeBytesAvailable = 0;  // to the caller
  uint64_t totalBytes = 0;
  uint64_t totalFreeBytes = 0;
};

// GetDiskFreeSpaceW / statvfs; false when the query fails.
bool QueryClusterInfo(const std::wstring& path, ClusterInfo& info);
// GetDiskFreeSpaceExW / statvfs; false when the query fails.
bool QueryFreeSpace(const std::wstring& path, FreeSpaceInfo& info);

}  // namespace tessaly
