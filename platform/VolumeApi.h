// The system's volumes as the volume enumeration sees them. One VolumeApi lives for one
// enumeration (on Windows it holds kernel32 and the entry points looked up in it), so that the
// enumeration logic stays portable and tests can hand it a made-up computer.
#pragma once

#include "FreeSpace.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessaly {

// Drive types, with the Win32 numbers.
enum DriveType : uint32_t {
  kDriveUnknown = 0,
  kDriveNoRootDir = 1,
  kDriveRemovable = 2,
  kDriveFixed = 3,
  kDriveRemote = 4,
  kDriveCdRom = 5,
  kDriveRamDisk = 6,
};

class VolumeApi {
 public:
  virtual ~VolumeApi() = default;

  // True where volumes cannot be listed by name (Windows version 4 and 5.0): drive letters then.
  virtual bool UsesDriveLetters() const = 0;
  // Bit 0 = A:, bit 25 = Z:.
  virtual uint32_t LogicalDriveMask() = 0;
  // Volume names in the system's order; empty when the system cannot list them.
  virtual std::vector<std::wstring> VolumeNames() = 0;
  // The first path the volume is mounted at: empty when it is mounted nowhere, nullopt when the
  // system cannot tell (no such function, or it failed).
  virtual std::optional<std::wstring> FirstMountPath(const std::wstring& volumeName) = 0;
  // The volume label; nullopt when the volume information cannot be read.
  virtual std::optional<std::wstring> Label(const std::wstring& volumeName) = 0;
  virtual uint32_t DriveTypeOf(const std::wstring& volumeName) = 0;
  virtual bool FreeSpace(const std::wstring& volumeName, FreeSpaceInfo& info) = 0;
};

// The real volumes of this computer. On POSIX the volumes are the mount points of real file
// systems (pseudo file systems such as proc, sysfs, cgroup and devpts are left out).
std::unique_ptr<VolumeApi> OpenSystemVolumeApi();

}  // namespace tessaly
