// The disk-scan object: a queue of root folders walked depth-first on a worker thread, with the
// four scan events raised on `events`. It knows nothing of file types or windows.
#pragma once

#include "Clock.h"
#include "DirectoryListing.h"
#include "MvError.h"
#include "MvEventHandler.h"
#include "ScanRecords.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tessaly {

class MvScan {
 public:
  explicit MvScan(DirectorySource& source = SystemDirectorySource());
  ~MvScan();  // stops and joins a running worker
  MvScan(const MvScan&) = delete;
  MvScan& operator=(const MvScan&) = delete;

  void AddRootFolder(std::shared_ptr<ScanFolder> folder);
  void Start();
  // Stop request: the walk returns at its next directory entry.
  void Stop();
  // Pause toggle. Cooperative: the worker waits at its next directory entry.
  void TogglePause();
  bool IsRunning() const { return running_.load(); }
  // Blocks until the worker thread has ended (tests, shutdown).
  void Join();

  // Announces one file record (a found file or an archive member): the binary event, then the
  // string event with its path; then drops the path cache and the reader. When neither the tree
  // nor a subscriber took the record, it is left in `file`, cleared for the caller's next one, so
  // a listing of a million files does not allocate a million records; otherwise `file` is empty.
  // Returns the binary event's result.
  int32_t DispatchFile(std::unique_ptr<ScanFile>& file, const std::shared_ptr<ScanFolder>& folder);

  // True when the run lost results (see `incomplete`, and subscribers that threw).
  bool LostResults() const { return incomplete || events.Faults() != 0; }

  // 0 when walked or not openable, -1 when a stop request was seen. The walk keeps no folder
  // open while it is inside a sub-folder (unless that folder is very large) and does not recurse,
  // so neither the open-file limit nor the stack bound the depth of a tree.
  int32_t WalkFolder(const std::shared_ptr<ScanFolder>& folder, bool recurse);
  static int ScanThread(MvScan* scan);
  // Lists the RAR file at `path` (in `folder`) into `scan`; failures go to the scan's error
  // reporter. Returns 0.
  static int32_t ScanRarFile(const std::wstring& path, MvScan& scan, const std::shared_ptr<ScanFolder>& folder);

  // Read-only views of the worker's state.
  bool StopRequested() const { return cancel.load(); }
  bool IsPaused() const { return paused.load(); }
  size_t QueuedRootCount() const { return roots.size(); }  // between runs: the queue is the worker's
  int32_t WalkDepth() const { return depth.load(); }
  // Of the current root's volume; 0 when unknown.
  uint32_t AllocationUnit() const { return allocationUnit; }
  uint32_t SectorsPerCluster() const { return sectorsPerCluster; }
  uint32_t BytesPerSector() const { return bytesPerSector; }

  MvEventHandler events;
  MvError error;
  // Set when results were lost (a record or folder the scan could not handle for a reason of its
  // own, a subscriber that failed): the run then did not really see everything.
  std::atomic<bool> incomplete{false};
  // Settings, set before Start.
  std::atomic<bool> recurse{true};
  std::atomic<bool> keepTree{true};
  // List the next folders on a second thread while the walk works (real file systems only).
  std::atomic<bool> readAhead{true};
  // Counters and sizes, written by the worker, read for progress displays.
  SystemTime startTime, endTime;
  std::atomic<uint32_t> filesFound{0};
  std::atomic<uint32_t> foldersFound{0};
  std::atomic<uint64_t> rootBytesScanned{0};
  uint64_t freeBytesAvailable = 0;
  uint64_t rootUsedBytes = 0;
  uint64_t totalFreeBytes = 0;
  uint64_t totalBytes = 0;
  std::atomic<uint64_t> usedBytesAllRoots{0};
  std::atomic<uint64_t> bytesScannedAll{0};

 private:
  void WaitWhilePaused();
  // Opens a folder for the walk; a failure of the scanner's own (out of handles or memory) is
  // retried, then reported and counted as lost results.
  std::unique_ptr<DirectoryListing> OpenForWalk(const std::wstring& folderPath, const std::function<void()>& freeHandles);
  void ScanRoot(const std::shared_ptr<ScanFolder>& root, int32_t& walkResult);
  uint64_t OnDiskSize(uint32_t sizeHigh, uint32_t sizeLow) const;

  // Whether the walk enters a sub-folder entry.
  static bool WillWalk(const DirEntry& folder);

  // The worker's own state.
  std::recursive_mutex lock;
  std::vector<std::shared_ptr<ScanFolder>> roots;
  std::atomic<bool> cancel{false};
  std::atomic<bool> paused{false};
  std::atomic<uint32_t> threadId{0};
  std::atomic<int32_t> depth{0};
  uint32_t allocationUnit = 0;
  uint32_t sectorsPerCluster = 0;
  uint32_t bytesPerSector = 0;

  DirectorySource& source_;
  DirectorySource* walkSource_;  // source_, or a read-ahead over it while a root is walked
  std::thread worker_;
  std::atomic<bool> running_{false};
  std::mutex pauseMutex_;
  std::condition_variable pauseChanged_;
};

}  // namespace tessaly
