// Lists folders ahead of the walk on a thread of its own.
//
// Listing a folder costs a stat call per entry; the walk then spends its own time on each file
// (classification, header reads, subscribers). With this source the next folders of the walk are
// listed on a second thread while the walk works on the current one, so the two overlap.
//
// The walk is depth-first, so the thread reads in the same order: when it has listed a folder,
// that folder's sub-folders go to the front of its queue. How far it runs ahead is bounded in
// folders (each holds an open folder handle) and in buffered entries; of a large folder only the
// first entries are buffered and the walk reads the rest itself. Memory therefore does not grow
// with the tree. When the walk needs a folder the thread is still reading, it reads the next
// queued one meanwhile instead of idling.
//
// Events, order and results are unchanged: the walk still sees every folder's entries in the
// order the file system gives them, and a fault met while listing ahead is thrown to the walk
// at the entry where it happened.
#pragma once

#include "DirectoryListing.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>

namespace tessaly {

class ReadAheadSource final : public DirectorySource {
 public:
  // Whether the walk will enter the sub-folder `entry`; only those are listed ahead.
  using WillWalk = std::function<bool(const DirEntry& entry)>;

  // `inner` must open folders from several threads at once.
  // Starts the thread (std::system_error when it cannot be started). The thread stays at most
  // `maxAhead` folders and `entryBudget` buffered entries ahead, and buffers at most
  // `chunkEntries` of one folder.
  ReadAheadSource(DirectorySource& inner, WillWalk willWalk, size_t maxAhead = 128, size_t chunkEntries = 512,
                  size_t entryBudget = 8192);
  ~ReadAheadSource() override;  // stops the thread; what it read ahead and nobody took is dropped
  ReadAheadSource(const ReadAheadSource&) = delete;
  ReadAheadSource& operator=(const ReadAheadSource&) = delete;

  std::unique_ptr<DirectoryListing> Open(const std::wstring& folderPath) override;
  std::unique_ptr<DirectoryListing> OpenChecked(const std::wstring& folderPath, OpenFailure& failure) override;
  bool OpensConcurrently() const override { return false; }

  struct Folder;  // one folder's listing, shared between the thread and the walk

 private:
  void Run();
  // Reads a folder taken from the queue (mutex_ released meanwhile) and marks it read.
  void ReadAhead(std::unique_lock<std::mutex>& guard, Folder& folder);
  // Whether another folder may be read ahead. Called with mutex_ held.
  bool MayReadAhead() const;
  // The next queued folder, marked as being read; null when none or when far enough ahead.
  // Called with mutex_ held.
  std::shared_ptr<Folder> TakeQueued();
  // Opens the folder and buffers its first entries; queues its sub-folders at the front.
  void Fill(Folder& folder);
  void QueueSubFolders(const Folder& folder);

  DirectorySource& inner_;
  WillWalk willWalk_;
  const size_t maxAhead_;
  const size_t chunkEntries_;
  const size_t entryBudget_;

  std::mutex mutex_;
  std::condition_variable changed_;
  // Next first. Weak: a folder the walk took and finished must not stay open in here.
  std::deque<std::weak_ptr<Folder>> queue_;
  std::unordered_map<std::wstring, std::shared_ptr<Folder>> known_;  // queued or read, not yet taken
  size_t ahead_ = 0;          // folders being read or read, not taken
  size_t bufferedAhead_ = 0;  // their buffered entries
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace tessaly
