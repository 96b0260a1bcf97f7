#include "ReadAheadSource.h"

#include "Paths.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

namespace tessaly {

struct ReadAheadSource::Folder {
  enum class Stage { Queued, Reading, Read, Taken };

  std::wstring path;
  Stage stage = Stage::Queued;
  bool opened = false;
  OpenFailure failure = OpenFailure::None;     // why not, when not opened
  // Null when not opened, and once all entries are buffered: a folder read ahead holds no
  // handle unless it is too large to buffer whole.
  std::unique_ptr<DirectoryListing> listing;
  bool hasIdentity = false;
  FolderIdentity identity;
  std::vector<DirEntry> entries;              // the first entries, in order
  bool complete = false;                      // `entries` holds them all
  std::exception_ptr fault;                   // met after the buffered entries
};

namespace {

// The walk's view of a folder: the buffered entries, then the rest straight from the listing.
class BufferedListing final : public DirectoryListing {
 public:
  explicit BufferedListing(std::shared_ptr<ReadAheadSource::Folder> folder) : folder_(std::move(folder)) {}

  bool Next(DirEntry& entry) override {
    auto& f = *folder_;
    if (next_ < f.entries.size()) {
      entry = std::move(f.entries[next_++]);
      if (next_ == f.entries.size()) {  // the buffer is spent: free it before the rest is read
        f.entries.clear();
        f.entries.shrink_to_fit();
        next_ = 0;
      }
      return true;
    }
    if (f.fault) std::rethrow_exception(std::exchange(f.fault, nullptr));
    if (f.complete) return false;
    return f.listing->Next(entry);
  }

  FileHandle OpenFile(const std::wstring& name, const std::wstring& fullPath, bool followLink) const override {
    if (folder_->listing) return folder_->listing->OpenFile(name, fullPath, followLink);
    return FileHandle::OpenForRead(fullPath, followLink);
  }

  bool Identity(FolderIdentity& identity) const override {
    identity = folder_->identity;
    return folder_->hasIdentity;
  }

 private:
  std::shared_ptr<ReadAheadSource::Folder> folder_;
  size_t next_ = 0;
};

}  // namespace

ReadAheadSource::ReadAheadSource(DirectorySource& inner, WillWalk willWalk, size_t maxAhead, size_t chunkEntries,
                                 size_t entryBudget)
    : inner_(inner),
      willWalk_(std::move(willWalk)),
      maxAhead_(maxAhead),
      chunkEntries_(chunkEntries),
      entryBudget_(entryBudget) {
  thread_ = std::thread([this] { Run(); });
}

ReadAheadSource::~ReadAheadSource() {
  {
    std::lock_guard guard(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void ReadAheadSource::Fill(Folder& folder) {
  try {
    folder.listing = inner_.OpenChecked(folder.path, folder.failure);
    if (folder.listing) {
      folder.opened = true;
      folder.hasIdentity = folder.listing->Identity(folder.identity);
      // Most folders hold a few dozen entries: one allocation instead of a growth step each.
      folder.entries.reserve(std::min<size_t>(chunkEntries_, 64));
      DirEntry entry;
      while (folder.entries.size() < chunkEntries_) {
        if (!folder.listing->Next(entry)) {
          folder.complete = true;
          folder.listing.reset();  // all is buffered: the handle is not needed any more
          break;
        }
        folder.entries.push_back(std::move(entry));
      }
    }
  } catch (...) {
    folder.fault = std::current_exception();
  }
  QueueSubFolders(folder);
}

void ReadAheadSource::QueueSubFolders(const Folder& folder) try {
  std::lock_guard guard(mutex_);
  if (stop_) return;
  // Pushed to the front in reverse, so the first sub-folder is read next: the walk's order.
  for (auto it = folder.entries.rbegin(); it != folder.entries.rend(); ++it) {
    if (!it->isDirectory || !willWalk_(*it)) continue;
    std::wstring path = folder.path + it->name + kPathSeparator;
    auto [slot, added] = known_.try_emplace(std::move(path));
    if (!added) continue;
    slot->second = std::make_shared<Folder>();
    slot->second->path = slot->first;
    queue_.push_front(slot->second);
  }
  changed_.notify_all();
} catch (...) {
  // Out of memory: what is not queued is read by the walk itself.
}

bool ReadAheadSource::MayReadAhead() const {
  return !queue_.empty() && ahead_ < maxAhead_ && bufferedAhead_ < entryBudget_;
}

std::shared_ptr<ReadAheadSource::Folder> ReadAheadSource::TakeQueued() {
  while (MayReadAhead()) {
    std::shared_ptr<Folder> folder = queue_.front().lock();
    queue_.pop_front();
    if (!folder || folder->stage != Folder::Stage::Queued) continue;  // the walk took it first
    folder->stage = Folder::Stage::Reading;
    ++ahead_;
    return folder;
  }
  return nullptr;
}

void ReadAheadSource::ReadAhead(std::unique_lock<std::mutex>& guard, Folder& folder) {
  guard.unlock();
  Fill(folder);
  guard.lock();
  folder.stage = Folder::Stage::Read;
  bufferedAhead_ += folder.entries.size();
  changed_.notify_all();
}

void ReadAheadSource::Run() {
  std::unique_lock guard(mutex_);
  for (;;) {
    changed_.wait(guard, [this] { return stop_ || MayReadAhead(); });
    if (stop_) return;
    if (std::shared_ptr<Folder> folder = TakeQueued()) ReadAhead(guard, *folder);
  }
}

std::unique_ptr<DirectoryListing> ReadAheadSource::Open(const std::wstring& folderPath) {
  OpenFailure failure;
  return OpenChecked(folderPath, failure);
}

std::unique_ptr<DirectoryListing> ReadAheadSource::OpenChecked(const std::wstring& folderPath, OpenFailure& failure) {
  std::shared_ptr<Folder> folder;
  bool readHere = true;
  {
    std::unique_lock guard(mutex_);
    if (auto it = known_.find(folderPath); it != known_.end()) {
      folder = std::move(it->second);
      known_.erase(it);
      if (folder->stage == Folder::Stage::Queued) {
        folder->stage = Folder::Stage::Taken;  // the thread has not started it: read it here
      } else {
        // Rather than wait for a reader, read the next folder of the queue meanwhile.
        while (folder->stage != Folder::Stage::Read) {
          if (std::shared_ptr<Folder> next = TakeQueued()) {
            ReadAhead(guard, *next);
          } else {
            changed_.wait(guard);
          }
        }
        folder->stage = Folder::Stage::Taken;
        --ahead_;
        bufferedAhead_ -= folder->entries.size();
        // A folder that could not be opened ahead (out of handles, say) is tried once more here.
        readHere = !folder->opened && !folder->fault;
        changed_.notify_all();
      }
    }
  }
  if (readHere) {
    folder = std::make_shared<Folder>();
    folder->path = folderPath;
    Fill(*folder);
  }
  failure = folder->failure;
  if (!folder->opened) {
    if (folder->fault) std::rethrow_exception(folder->fault);
    if (failure == OpenFailure::None) failure = OpenFailure::Unavailable;
    return nullptr;
  }
  return std::make_unique<BufferedListing>(std::move(folder));
}

}  // namespace tessaly
