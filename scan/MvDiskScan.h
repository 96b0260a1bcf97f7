// The volumes of this computer: listed once per program run on a thread of their own, kept in a
// VolumeSet, with three events raised on the MvDiskScan while the list is made.
#pragma once

#include "MvError.h"
#include "MvEventHandler.h"
#include "ScanRecords.h"
#include "VolumeApi.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tessaly {

inline constexpr const wchar_t* kEnumerateStartedEvent = L"DISKSCANEVENT_ONENUMERATESTARTED";
inline constexpr const wchar_t* kNewVolumeFoundEvent = L"[DISKSCANEVENT_ONNEWVOLUMEFOUND]";
inline constexpr const wchar_t* kEnumerateFinishedEvent = L"DISKSCANEVENT_ONENUMERATEFINISHED";

// One volume or drive; kept across enumerations.
struct VolumeInfo {
  std::mutex lock;  // held while the details are filled
  uint64_t freeBytesAvailable = 0;
  uint64_t totalBytes = 0;
  uint64_t totalFreeBytes = 0;
  uint32_t driveType = kDriveUnknown;
  std::wstring label;
  std::wstring volumeName;  // as enumerated: a volume GUID path, a drive root, a mount point
  std::wstring realName;    // the first mount path; the root folder of a scan of this volume
  bool ready = false;       // seen in the last enumeration
  uint32_t stamp = 0;       // the enumeration's start time on the volume path, 0 for drive letters
  std::shared_ptr<ScanFolder> root;
};

// The computer: its volumes in the order they were first found.
struct VolumeSet {
  std::recursive_mutex lock;
  std::wstring name = L"IDS_THISCOMPUTER";
  std::wstring second;
  std::vector<std::unique_ptr<VolumeInfo>> volumes;

  VolumeInfo* Find(const std::wstring& volumeName);
};

class MvDiskScan {
 public:
  using ApiFactory = std::function<std::unique_ptr<VolumeApi>()>;

  // Tests pass a factory that describes a made-up computer.
  explicit MvDiskScan(ApiFactory api = OpenSystemVolumeApi);
  ~MvDiskScan();  // waits for a running enumeration
  MvDiskScan(const MvDiskScan&) = delete;
  MvDiskScan& operator=(const MvDiskScan&) = delete;

  // The enumeration thread's work; raises the three events on the calling thread.
  static void EnumerateVolumesFunction(VolumeSet& volumeSet, MvDiskScan& diskScan);
  // Blocks until a running enumeration has ended.
  void Join();

  std::mutex lock;
  MvEventHandler events;
  MvError error;
  std::atomic<bool> enumerating{false};

 private:
  friend void StartEnumeration(VolumeSet& volumeSet, MvDiskScan& diskScan);
  ApiFactory api_;
  std::thread thread_;
};

// Starts the enumeration on a new thread and returns at once.
void StartEnumeration(VolumeSet& volumeSet, MvDiskScan& diskScan);

// Milliseconds since the system started, as timeGetTime counts them.
uint32_t SystemTickCount();

}  // namespace tessaly
