#include "MvDiskScan.h"

#include "DebugLog.h"

#include <chrono>
#include <set>

namespace tessaly {
namespace {

double Seconds() { return SystemTickCount() / 1000.0; }

void FillDetails(VolumeInfo& volume, VolumeApi& api) {
  std::lock_guard guard(volume.lock);
  volume.freeBytesAvailable = 0;
  volume.totalBytes = 0;
  volume.totalFreeBytes = 0;

  if (std::optional<std::wstring> path = api.FirstMountPath(volume.volumeName)) {
    volume.realName = *path;
    DebugPrint(L"Getting real drive name(%s) for volume(%s)\r\n", volume.realName, volume.volumeName);
  } else {
    volume.realName = volume.volumeName;
    DebugPrint(L"Real drive name is not possible for volume(%s)\r\n", volume.volumeName);
  }

  if (std::optional<std::wstring> label = api.Label(volume.volumeName)) {
    volume.label = *label;
    // A volume mounted nowhere is shown by its label.
    if (volume.realName.empty()) volume.realName = volume.label;
  }

  volume.driveType = api.DriveTypeOf(volume.volumeName);
  if (volume.driveType != kDriveNoRootDir) {
    FreeSpaceInfo space;
    if (api.FreeSpace(volume.volumeName, space)) {
      volume.freeBytesAvailable = space.freeBytesAvailable;
      volume.totalBytes = space.totalBytes;
      volume.totalFreeBytes = space.totalFreeBytes;
    }
  }
  volume.root = ScanFolder::MakeRoot(volume.realName);
}

}  // namespace

uint32_t SystemTickCount() {
  // steady_clock counts from system start on both platforms (CLOCK_MONOTONIC, the performance
  // counter); the 32-bit cut wraps after 49.7 days as timeGetTime does.
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

VolumeInfo* VolumeSet::Find(const std::wstring& volumeName) {
  for (auto& volume : volumes) {
    if (volume->volumeName == volumeName) return volume.get();
  }
  return nullptr;
}

MvDiskScan::MvDiskScan(ApiFactory api) : api_(std::move(api)) {}

MvDiskScan::~MvDiskScan() { Join(); }

void MvDiskScan::Join() {
  std::lock_guard guard(lock);
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void StartEnumeration(VolumeSet& volumeSet, MvDiskScan& diskScan) {
  DebugPrint(L"Starting EnumerateVolumesThread: %.2f\r\n", Seconds());
  std::lock_guard guard(diskScan.lock);
  if (diskScan.thread_.joinable()) diskScan.thread_.join();  // the previous run has ended
  diskScan.thread_ = std::thread([&volumeSet, &diskScan] { MvDiskScan::EnumerateVolumesFunction(volumeSet, diskScan); });
}

void MvDiskScan::EnumerateVolumesFunction(VolumeSet& volumeSet, MvDiskScan& diskScan) {
  const uint32_t startTime = SystemTickCount();
  DebugPrint(L"EnumerateVolumesThread Begin: %.2f\r\n", startTime / 1000.0);
  diskScan.enumerating = true;
  diskScan.events.ExecuteAll_StringEventProcs(kEnumerateStartedEvent, L"Enumeration Started");

  std::unique_ptr<VolumeApi> api = diskScan.api_();
  {
    std::lock_guard setLock(volumeSet.lock);
    // Which records this run saw. The stamp cannot tell: drive letters are all stamped 0.
    std::set<VolumeInfo*> seen;

    auto announce = [&](VolumeInfo& volume, uint32_t stamp) {
      volume.stamp = stamp;
      FillDetails(volume, *api);
      DebugPrint(L"MvDiskScan::EnumerateVolumesFunction(), Drive(%s) marked as ready\r\n", volume.volumeName);
      volume.ready = true;
      seen.insert(&volume);
      diskScan.events.ExecuteAll_BinaryEventProcs(kNewVolumeFoundEvent, &volume);
    };
    auto findOrAdd = [&](const std::wstring& name, const wchar_t* addedFormat) -> VolumeInfo& {
      if (VolumeInfo* known = volumeSet.Find(name)) return *known;
      auto volume = std::make_unique<VolumeInfo>();
      volume->volumeName = name;
      DebugPrint(addedFormat, name);
      volumeSet.volumes.push_back(std::move(volume));
      return *volumeSet.volumes.back();
    };

    if (api->UsesDriveLetters()) {
      const uint32_t mask = api->LogicalDriveMask();
      if (mask != 0) {
        DebugPrint(L"Loaded Logical drives: %d\r\n", static_cast<int32_t>(mask));
        for (int letter = 0; letter < 26; ++letter) {
          if (!(mask & (1u << letter))) continue;
          const std::wstring name = FormatPrintf(L"%c:\\", static_cast<wchar_t>(L'A' + letter));
          DebugPrint(L"Found Logical Drive(%s)\r\n", name);
          announce(findOrAdd(name, L"Adding Logical Drive(%s)\r\n"), 0);
        }
      }
    } else {
      for (const std::wstring& name : api->VolumeNames()) {
        announce(findOrAdd(name, L"Adding Volume: %s\r\n"), startTime);
      }
    }

    std::erase_if(volumeSet.volumes, [&](const std::unique_ptr<VolumeInfo>& v) { return !seen.count(v.get()); });
  }
  api.reset();  // frees the system library
  diskScan.enumerating = false;
  diskScan.events.ExecuteAll_StringEventProcs(kEnumerateFinishedEvent, L"Enumeration Completed");
  DebugPrint(L"EnumerateVolumesThread End: %.2f\r\n", Seconds());
}

}  // namespace tessaly
