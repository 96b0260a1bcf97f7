#include "MvScan.h"

#include "FreeSpace.h"
#include "MvFault.h"
#include "Paths.h"
#include "ReadAheadSource.h"
#include "ScanEvents.h"

#include <chrono>
#include <optional>
#include <system_error>
#include <unordered_set>

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
  WaitWhilePaused();  // also inside an archive listing, which may take long
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
    record->followLink = true;
    return result;
  }
  record->pathCache.shrink_to_fit();  // it stays: the cached path would only hold memory
  if (file) file.release();           // the subscriber that kept it owns it now
  return result;
}

std::unique_ptr<DirectoryListing> MvScan::OpenForWalk(const std::wstring& folderPath,
                                                     const std::function<void()>& freeHandles) {
  constexpr int kAttempts = 4;
  for (int attempt = 1;; ++attempt) {
    OpenFailure failure = OpenFailure::None;
    std::unique_ptr<DirectoryListing> listing = walkSource_->OpenChecked(folderPath, failure);
    if (listing || failure != OpenFailure::OutOfResources) return listing;  // gone or denied: empty
    if (attempt == kAttempts) {
      error.Report(L"MvScan::WalkFolder(), Failed to open folder %s: out of handles or memory", folderPath);
      incomplete = true;
      return nullptr;
    }
    // Our own folders first; then give other threads (the read-ahead, a subscriber) a moment.
    freeHandles();
    if (attempt > 1) std::this_thread::sleep_for(std::chrono::milliseconds(10 * attempt));
  }
}

namespace {

struct IdentityHash {
  size_t operator()(const FolderIdentity& id) const { return std::hash<uint64_t>{}(id.volume * 0x9E3779B97F4A7C15ULL ^ id.index); }
};

// Entries of all folders on the walk's path that were read ahead so their folders could be
// closed; above this a large folder stays open instead.
constexpr size_t kParkedEntryBudget = 16384;
// Folders on the walk's path that keep their cached path; deeper ancestors build it again.
constexpr size_t kCachedPathLevels = 64;

// One folder on the walk's path.
struct WalkFrame {
  WalkFrame(std::shared_ptr<ScanFolder> f, std::atomic<int32_t>& depth)
      : folder(std::move(f)), folderLock(folder->lock), state(*folder, depth) {}

  // The next entry: first those parked, then the rest from the open listing.
  bool Next(DirEntry& entry, size_t& parkedTotal) {
    if (nextParked < parked.size()) {
      entry = std::move(parked[nextParked++]);
      --parkedTotal;
      if (nextParked == parked.size()) {
        parked.clear();
        parked.shrink_to_fit();
        nextParked = 0;
      }
      return true;
    }
    return listing && listing->Next(entry);
  }

  // Reads the rest of the folder into memory (within the budget) and closes it when all is read.
  void Park(size_t& parkedTotal, size_t budget) {
    if (!listing) return;
    if (nextParked > 0) {
      parked.erase(parked.begin(), parked.begin() + static_cast<std::ptrdiff_t>(nextParked));
      nextParked = 0;
    }
    DirEntry entry;
    while (parkedTotal < budget) {
      if (!listing->Next(entry)) {
        listing.reset();
        return;
      }
      parked.push_back(std::move(entry));
      ++parkedTotal;
    }
  }

  std::shared_ptr<ScanFolder> folder;
  std::unique_lock<std::recursive_mutex> folderLock;
  WalkState state;  // ends before the folder lock is left
  std::unique_ptr<DirectoryListing> listing;  // null once all its entries are read
  std::vector<DirEntry> parked;
  size_t nextParked = 0;
  std::shared_ptr<ScanFolder> child;  // the sub-folder being walked, appended when it is done
};

}  // namespace

int32_t MvScan::WalkFolder(const std::shared_ptr<ScanFolder>& folder, bool recurseInto) {
  std::unique_lock scanLock(lock);
  std::vector<std::unique_ptr<WalkFrame>> path;  // root first
  std::unordered_set<FolderIdentity, IdentityHash> visited;
  size_t parkedTotal = 0;

  // Closes every folder on the path that can be closed, whatever the budget.
  const auto freeHandles = [&] {
    for (auto& frame : path) frame->Park(parkedTotal, SIZE_MAX);
  };
  // Starts the walk of a folder; false when there is nothing to walk.
  const auto enter = [&](const std::shared_ptr<ScanFolder>& target) {
    auto frame = std::make_unique<WalkFrame>(target, depth);
    if (target->kind != kPlainFolder) return false;  // archive records are never walked
    frame->listing = OpenForWalk(target->FullPath(), freeHandles);
    if (!frame->listing) return false;
    // A folder reached a second time (a bind mount, a loop the link test missed) is not walked again.
    if (FolderIdentity identity; frame->listing->Identity(identity) && !visited.insert(identity).second) {
      DebugPrint(L"MvScan::WalkFolder(), Already walked: %s\r\n", target->FullPath());
      return false;
    }
    target->subFolders.clear();
    target->files.clear();
    path.push_back(std::move(frame));
    if (path.size() > kCachedPathLevels) path[path.size() - 1 - kCachedPathLevels]->folder->DropPathCache();
    return true;
  };

  if (!enter(folder)) return 0;
  DirEntry entry;
  std::unique_ptr<ScanFile> file;  // reused from file to file while nobody keeps it
  while (!path.empty()) {
    WalkFrame& top = *path.back();
    if (!top.Next(entry, parkedTotal)) {
      parkedTotal -= top.parked.size() - top.nextParked;
      path.pop_back();
      if (path.empty()) break;
      WalkFrame& parent = *path.back();
      parent.folderLock.lock();
      if (keepTree) parent.folder->subFolders.push_back(std::move(parent.child));
      parent.child.reset();
      continue;
    }
    WaitWhilePaused();
    if (cancel) {
      roots.clear();
      depth = 0;
      return -1;
    }
    ScanFolder& current = *top.folder;
    if (entry.isDirectory) {
      if (!WillWalk(entry)) continue;
      auto child = ScanFolder::MakeChild(top.folder, entry.name, kPlainFolder, keepTree);
      {
        std::lock_guard childLock(child->lock);
        ++foldersFound;
        events.ExecuteAll_BinaryEventProcs(kNewFolderFoundEvent, child.get());
        if (events.HasStringProcs(kNewFolderFoundEvent)) {
          std::wstring walkPath = current.FullPath() + entry.name + kPathSeparator;
          events.ExecuteAll_StringEventProcs(kNewFolderFoundEvent, walkPath.c_str());
        }
      }
      if (recurseInto) {
        // The folder is left while the sub-folder is walked; what is left of it is read now so
        // that it need not stay open meanwhile.
        top.Park(parkedTotal, kParkedEntryBudget);
        top.folderLock.unlock();
        top.child = child;
        if (enter(child)) continue;
        top.child.reset();
        top.folderLock.lock();
      }
      // Without keepTree nothing is retained, so memory does not grow with the tree.
      if (keepTree) current.subFolders.push_back(std::move(child));
      continue;
    }

    try {
      if (!file) file = std::make_unique<ScanFile>();
      file->name.swap(entry.name);  // the entry is filled afresh for the next one
    } catch (...) {
      error.Report(L"Failed to allocate file class, Exception Code: %d", static_cast<int>(CurrentFaultCode()));
      incomplete = true;
      return -1;
    }
    file->size = entry.Size();
    file->lastWriteTime = entry.lastWriteTime;
    file->followLink = entry.isLink;
    file->openFolder = top.listing ? top.listing.get() : nullptr;
    const uint64_t onDisk = OnDiskSize(entry.sizeHigh, entry.sizeLow);
    rootBytesScanned += onDisk;
    bytesScannedAll += onDisk;
    ++filesFound;
    DispatchFile(file, top.folder);
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
        scan->incomplete = true;  // the rest of this root is not seen
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
