#include "MvScan.h"

#include "FreeSpace.h"
#include "MvFault.h"
#include "Paths.h"
#include "ReadAheadSource.h"
#include "ScanEvents.h"

#include <optional>
#include <system_error>

namespace tessaly {
namespace {

// Restores the walk state of a folder however its walk is left (return, stop or fault).
class WalkState {
 public:
  WalkState(ScanFolder& folder, std::atomic<int32_t>& depth) : folder_(folder), depth_(depth) {
    folder_.doneTime.reset();
    folder_.scanning = 1;
    ++depth_;
  }
  ~WalkState() {
    if (depth_ > 0) --depth_;
    folder_.scanning = 0;
    folder_.doneTime = std::make_unique<SystemTime>(UtcTimeNow());
  }
  WalkState(const WalkState&) = delete;
  WalkState& operator=(const WalkState&) = delete;

 private:
  ScanFolder& folder_;
  std::atomic<int32_t>& depth_;
};

}  // namespace

bool MvScan::WillWalk(const DirEntry& folder) {
  // Dot-names are hidden folders (and "." / ".."); links and junctions would leave the root or loop.
  return !folder.name.empty() && folder.name[0] != L'.' && !folder.isLinkedDirectory;
}

MvScan::MvScan(DirectorySource& source) : source_(source), walkSource_(&source) { events.SetNamespace(L"{NS:}"); }

MvScan::~MvScan() {
  cancel = true;
  {
    std::lock_guard guard(pauseMutex_);
    paused = false;
  }
  pauseChanged_.notify_all();
  Join();
}

void MvScan::AddRootFolder(std::shared_ptr<ScanFolder> folder) {
  totalFreeBytes = 0;
  totalBytes = 0;
  FreeSpaceInfo space;
  if (QueryFreeSpace(folder->FullPath(), space)) {
    freeBytesAvailable = space.freeBytesAvailable;
    totalBytes = space.totalBytes;
    totalFreeBytes = space.totalFreeBytes;
    if (totalBytes != 0 && totalFreeBytes != 0) usedBytesAllRoots += totalBytes - totalFreeBytes;
  }
  roots.push_back(std::move(folder));
  cancel = false;
}

void MvScan::Start() {
  if (running_) {
    DebugPrint(L"MvScan::Start(), Thread already started\r\n");
    return;
  }
  DebugPrint(L"MvScan::Start(), Starting thread\r\n");
  if (worker_.joinable()) worker_.join();  // the previous run has ended
  running_ = true;
  worker_ = std::thread([this] { ScanThread(this); });
}

void MvScan::Stop() {
  cancel = true;
  // The log texts of Stop and TogglePause name Start on purpose: log readers look for them as they are.
  DebugPrint(L"MvScan::Start(), Stopping Thread\r\n");
  pauseChanged_.notify_all();  // a paused walk wakes up to see the request
}

void MvScan::TogglePause() {
  {
    std::lock_guard guard(pauseMutex_);
    paused = !paused;
  }
  DebugPrint(L"MvScan::Start(), Suspending Thread\r\n");
  pauseChanged_.notify_all();
}

void MvScan::Join() {
  if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id()) worker_.join();
}

void MvScan::WaitWhilePaused() {
  if (!paused) return;
  std::unique_lock guard(pauseMutex_);
  pauseChanged_.wait(guard, [this] { return !paused || cancel; });
}

uint64_t MvScan::OnDiskSize(uint32_t sizeHigh, uint32_t sizeLow) const {
  const uint64_t exact = (static_cast<uint64_t>(sizeHigh) << 32) | sizeLow;
  if (sizeLow == 0 || allocationUnit == 0) return exact;
  // The low part is rounded up to whole clusters.
  const uint64_t clusters = (static_cast<uint64_t>(sizeLow) + allocationUnit - 1) / allocationUnit;
  return (static_cast<uint64_t>(sizeHigh) << 32) + clusters * allocationUnit;
}

int32_t MvScan::DispatchFile(std::unique_ptr<ScanFile>& file, const std::shared_ptr<ScanFolder>& folder) {
  ScanFile* record = file.get();
  record->folder = folder.get();
  if (keepTree) {
    record->ownedByTree = true;
    folder->files.push_back(std::move(file));
  } else if (record->folderRef != folder) {
    record->folderRef = folder;
  }
  int32_t result = events.ExecuteAll_BinaryEventProcs(kNewFileFoundEvent, record);
  if (events.HasStringProcs(kNewFileFoundEvent)) {
    events.ExecuteAll_StringEventProcs(kNewFileFoundEvent, record->FilePath().c_str());
  }
  record->CloseReader();
  record->openFolder = nullptr;
  record->pathCache.clear();
  if (file && !record->kept) {  // nobody took it: cleared for the next file
    record->properties.reset();
    record->size = 0;
    record->lastWriteTime = 0;
    return result;
  }
  record->pathCache.shrink_to_fit();  // it stays: the cached path would only hold memory
  if (file) file.release();           // the subscriber that kept it owns it now
  return result;
}

int32_t MvScan::WalkFolder(const std::shared_ptr<ScanFolder>& folder, bool recurseInto) {
  std::unique_lock scanLock(lock);
  std::unique_lock folderLock(folder->lock);
  WalkState state(*folder, depth);
  if (folder->kind != kPlainFolder) return 0;  // archive records are never walked

  const std::wstring& folderPath = folder->FullPath();
  std::unique_ptr<DirectoryListing> listing = walkSource_->Open(folderPath);
  if (!listing) return 0;

  folder->subFolders.clear();
  folder->files.clear();

  DirEntry entry;
  std::unique_ptr<ScanFile> file;  // reused from file to file while nobody keeps it
  while (listing->Next(entry)) {
    WaitWhilePaused();
    if (cancel) {
      roots.clear();
      depth = 0;
      return -1;
    }
    if (entry.isDirectory) {
      if (!WillWalk(entry)) continue;
      auto child = ScanFolder::MakeChild(folder, entry.name, kPlainFolder, keepTree);
      {
        std::lock_guard childLock(child->lock);
        ++foldersFound;
        events.ExecuteAll_BinaryEventProcs(kNewFolderFoundEvent, child.get());
        if (events.HasStringProcs(kNewFolderFoundEvent)) {
          std::wstring walkPath = folderPath + entry.name + kPathSeparator;
          events.ExecuteAll_StringEventProcs(kNewFolderFoundEvent, walkPath.c_str());
        }
      }
      if (recurseInto) {
        folderLock.unlock();
        scanLock.unlock();
        if (WalkFolder(child, recurseInto) == -1) return -1;
        scanLock.lock();
        folderLock.lock();
      }
      // Without keepTree nothing is retained, so memory does not grow with the tree.
      if (keepTree) folder->subFolders.push_back(std::move(child));
      continue;
    }

    try {
      if (!file) file = std::make_unique<ScanFile>();
      file->name = entry.name;
    } catch (...) {
      error.Report(L"Failed to allocate file class, Exception Code: %d", static_cast<int>(CurrentFaultCode()));
      return -1;
    }
    file->size = entry.Size();
    file->lastWriteTime = entry.lastWriteTime;
    file->openFolder = listing.get();
    const uint64_t onDisk = OnDiskSize(entry.sizeHigh, entry.sizeLow);
    rootBytesScanned += onDisk;
    bytesScannedAll += onDisk;
    ++filesFound;
    DispatchFile(file, folder);
  }
  return 0;
}

void MvScan::ScanRoot(const std::shared_ptr<ScanFolder>& root, int32_t& walkResult) {
  sectorsPerCluster = 0;
  bytesPerSector = 0;
  const std::wstring& rootPath = root->FullPath();
  ClusterInfo cluster;
  if (QueryClusterInfo(rootPath, cluster)) {
    sectorsPerCluster = cluster.sectorsPerCluster;
    bytesPerSector = cluster.bytesPerSector;
  }
  allocationUnit = sectorsPerCluster * bytesPerSector;
  FreeSpaceInfo space;
  if (QueryFreeSpace(rootPath, space)) {
    freeBytesAvailable = space.freeBytesAvailable;
    totalBytes = space.totalBytes;
    totalFreeBytes = space.totalFreeBytes;
  }
  rootUsedBytes = totalBytes - totalFreeBytes;
  rootBytesScanned = 0;
  DebugPrint(L"Scanning Folder(%s), Start\r\n", rootPath);
  // The next folders are listed on a second thread while this one works on the current folder.
  // One per root and attempt: what a stopped or failed walk left listed ahead is dropped with it.
  std::optional<ReadAheadSource> lister;
  if (readAhead && recurse && source_.OpensConcurrently()) {
    try {
      lister.emplace(source_, &MvScan::WillWalk);
    } catch (const std::system_error&) {
      DebugPrint(L"Scanning Folder(%s), listing without read-ahead\r\n", rootPath);
    }
  }
  walkSource_ = lister ? static_cast<DirectorySource*>(&*lister) : &source_;
  walkResult = WalkFolder(root, recurse);
  walkSource_ = &source_;
  DebugPrint(walkResult == -1 ? L"Scanning Folder(%s), Cancelled\r\n" : L"Scanning Folder(%s), Done\r\n", rootPath);
}

int MvScan::ScanThread(MvScan* scan) {
  DebugPrint(L"MvScan::ScanThread(), Locking ScanObject\r\n");
  std::unique_lock scanLock(scan->lock);
  scan->threadId = static_cast<uint32_t>(std::hash<std::thread::id>{}(std::this_thread::get_id()));
  if (scan->roots.empty()) {
    DebugPrint(L"MvScan::ScanThread(), No drives to scan\r\n");
    scan->events.ExecuteAll_BinaryEventProcs(kScanFinishedEvent, scan);
    scan->running_ = false;
    return 0;
  }
  DebugPrint(L"MvScan::ScanThread(), ScanObject Locked\r\n");
  scan->startTime = scan->endTime = LocalTimeNow();
  scan->filesFound = 0;
  scan->foldersFound = 0;
  DebugPrint(L"MvScan::ScanThread(), Launching ScanStarted Event\r\n");
  scan->events.ExecuteAll_BinaryEventProcs(kScanStartedEvent, scan);

  // The five retries are shared by all roots of the run until one root uses them up.
  int failures = 0;
  // A copy: a stop request empties the queue while we walk it.
  const std::vector<std::shared_ptr<ScanFolder>> queue = scan->roots;
  for (size_t i = 0; i < queue.size() && queue[i];) {
    int32_t walkResult = 0;
    try {
      scan->ScanRoot(queue[i], walkResult);
    } catch (...) {
      const int code = static_cast<int>(CurrentFaultCode());
      if (++failures <= 5) {
        scan->error.Report(L"Failed to scan folder, attempt: %d, Exception Code: %d", failures, code);
      } else {
        failures = 0;
        scan->error.Report(L"Failed to scan folder, no more attempts to scan folder, Exception Code: %d", code);
        ++i;
      }
      continue;
    }
    if (walkResult == -1) break;
    ++i;
  }

  scan->endTime = LocalTimeNow();
  scan->depth = 0;
  scan->roots.clear();
  scan->events.ExecuteAll_BinaryEventProcs(kScanFinishedEvent, scan);
  scan->running_ = false;
  return 0;
}

}  // namespace tessaly
