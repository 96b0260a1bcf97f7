#include "MvFault.h"
#include "MvScan.h"
#include "Paths.h"
#include "ReadAheadSource.h"
#include "ScanEvents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tessaly {
namespace {

const std::wstring S(1, kPathSeparator);

// A folder tree in memory that may be listed from several threads at once. It records how often
// each folder was opened and how many listings were open at the same time, and can be slowed
// down or made to fault at a given entry.
class MemoryTree final : public DirectorySource {
 public:
  struct Folder {
    std::vector<DirEntry> entries;
    std::optional<size_t> faultAt;  // Next throws instead of giving this entry
    bool faultOnOpen = false;
  };

  std::map<std::wstring, Folder> folders;  // paths end in the separator
  std::chrono::microseconds openDelay{0};

  bool OpensConcurrently() const override { return true; }

  std::unique_ptr<DirectoryListing> Open(const std::wstring& path) override {
    if (openDelay.count() > 0) std::this_thread::sleep_for(openDelay);
    {
      std::lock_guard guard(mutex_);
      ++opens_[path];
    }
    auto it = folders.find(path);
    if (it == folders.end()) return nullptr;
    if (it->second.faultOnOpen) throw MvFault(kFaultAccessViolation);
    return std::make_unique<Listing>(*this, it->second);
  }

  int Opens(const std::wstring& path) {
    std::lock_guard guard(mutex_);
    return opens_[path];
  }
  int MostOpenAtOnce() const { return mostOpen_; }
  void ResetMostOpen() { mostOpen_ = 0; }

  void AddFolder(const std::wstring& path, size_t files, const std::vector<std::wstring>& subFolders) {
    Folder& folder = folders[path];
    for (size_t i = 0; i < files; ++i) {
      DirEntry file;
      file.name = L"file " + std::to_wstring(i) + L".mp3";
      file.sizeLow = static_cast<uint32_t>(i + 1);
      folder.entries.push_back(file);
    }
    for (const std::wstring& name : subFolders) {
      DirEntry sub;
      sub.name = name;
      sub.isDirectory = true;
      // Interleaved with the files, as a file system would give them.
      folder.entries.insert(folder.entries.begin() + static_cast<std::ptrdiff_t>(folder.entries.size() / 2), sub);
    }
  }

 private:
  class Listing final : public DirectoryListing {
   public:
    Listing(MemoryTree& tree, const Folder& folder) : tree_(tree), folder_(folder) {
      const int now = ++tree_.open_;
      int most = tree_.mostOpen_;
      while (now > most && !tree_.mostOpen_.compare_exchange_weak(most, now)) {
      }
    }
    ~Listing() override { --tree_.open_; }
    bool Next(DirEntry& entry) override {
      // Once only: a fault met while reading ahead must reach the walk all the same.
      if (folder_.faultAt && next_ == *folder_.faultAt && !faulted_) {
        faulted_ = true;
        throw MvFault(kFaultAccessViolation);
      }
      if (next_ >= folder_.entries.size()) return false;
      entry = folder_.entries[next_++];
      return true;
    }
    FileHandle OpenFile(const std::wstring&, const std::wstring&, bool) const override { return {}; }

   private:
    MemoryTree& tree_;
    const Folder& folder_;
    size_t next_ = 0;
    bool faulted_ = false;
  };

  std::mutex mutex_;
  std::map<std::wstring, int> opens_;
  std::atomic<int> open_{0};
  std::atomic<int> mostOpen_{0};
};

bool Walked(const DirEntry& entry) { return !entry.name.empty() && entry.name[0] != L'.' && !entry.isLinkedDirectory; }

// A tree `depth` levels deep with `breadth` sub-folders per folder, each holding `files` files.
void Grow(MemoryTree& tree, const std::wstring& path, int depth, int breadth, size_t files) {
  std::vector<std::wstring> subs;
  if (depth > 0) {
    for (int i = 0; i < breadth; ++i) subs.push_back(L"sub " + std::to_wstring(i));
  }
  tree.AddFolder(path, files, subs);
  for (const std::wstring& sub : subs) Grow(tree, path + sub + S, depth - 1, breadth, files);
}

// The walk's use of a source: depth-first, every entry in order. `work` runs per entry.
void Walk(DirectorySource& source, const std::wstring& path, std::vector<std::wstring>& seen,
          const std::function<void()>& work = {}) {
  std::unique_ptr<DirectoryListing> listing;
  try {
    listing = source.Open(path);
  } catch (const MvFault&) {
    seen.push_back(L"fault opening " + path);
    return;
  }
  if (!listing) {
    seen.push_back(L"unopenable " + path);
    return;
  }
  DirEntry entry;
  for (;;) {
    try {
      if (!listing->Next(entry)) break;
    } catch (const MvFault&) {
      seen.push_back(L"fault in " + path);
      return;
    }
    seen.push_back(path + entry.name + L" " + std::to_wstring(entry.Size()));
    if (work) work();
    if (entry.isDirectory && Walked(entry)) Walk(source, path + entry.name + S, seen, work);
  }
}

TEST(ReadAheadSource, GivesWhatTheFolderGivesInTheSameOrder) {
  MemoryTree tree;
  const std::wstring root = L"root" + S;
  Grow(tree, root, 3, 4, 5);
  // Folders the walk never enters, one that vanished, one that faults on opening and one that
  // faults half-way through its entries.
  MemoryTree::Folder& top = tree.folders[root];
  DirEntry hidden, linked, vanished, denied, broken;
  hidden.name = L".hidden";
  linked.name = L"linked";
  linked.isLinkedDirectory = true;
  vanished.name = L"vanished";
  denied.name = L"denied";
  broken.name = L"broken";
  for (DirEntry* e : {&hidden, &linked, &vanished, &denied, &broken}) {
    e->isDirectory = true;
    top.entries.push_back(*e);
  }
  tree.folders[root + L".hidden" + S];
  tree.folders[root + L"linked" + S];
  tree.folders[root + L"denied" + S].faultOnOpen = true;
  tree.AddFolder(root + L"broken" + S, 6, {});
  tree.folders[root + L"broken" + S].faultAt = 4;

  std::vector<std::wstring> want;
  Walk(tree, root, want);
  ASSERT_GT(want.size(), 400u);

  struct {
    size_t maxAhead;
    size_t chunk;      // entries buffered per folder; larger folders are partly read by the walk
    size_t budget;     // entries buffered ahead in all
    int walkWorkUs;    // the walk's own work per entry: the reader gets ahead
    int openDelayUs;   // slow folders: the walk catches up and reads the queue itself
  } cases[] = {
      {128, 512, 8192, 0, 0}, {1, 1, 1, 0, 0},     {2, 3, 100, 20, 0}, {4, 2, 100, 0, 200},
      {32, 512, 8192, 20, 0}, {8, 4, 100, 5, 100}, {64, 512, 6, 20, 0},
  };
  for (const auto& c : cases) {
    const std::string name = "ahead " + std::to_string(c.maxAhead) + ", chunk " + std::to_string(c.chunk) +
                             ", budget " + std::to_string(c.budget) + ", work " + std::to_string(c.walkWorkUs) + ", delay " + std::to_string(c.openDelayUs);
    tree.openDelay = std::chrono::microseconds(c.openDelayUs);
    tree.ResetMostOpen();
    std::vector<std::wstring> got;
    {
      ReadAheadSource source(tree, Walked, c.maxAhead, c.chunk, c.budget);
      Walk(source, root, got, [&] {
        if (c.walkWorkUs) std::this_thread::sleep_for(std::chrono::microseconds(c.walkWorkUs));
      });
    }
    EXPECT_EQ(got, want) << name;
    // Bounded: what is read ahead, plus the folders the walk is inside, plus one being read.
    EXPECT_LE(tree.MostOpenAtOnce(), static_cast<int>(c.maxAhead) + 4 + 2) << name;
  }
  tree.openDelay = {};
  EXPECT_EQ(tree.Opens(root + L".hidden" + S), 0);
  EXPECT_EQ(tree.Opens(root + L"linked" + S), 0);
}

TEST(ReadAheadSource, StoppingEarlyDropsWhatWasReadAhead) {
  MemoryTree tree;
  const std::wstring root = L"root" + S;
  Grow(tree, root, 4, 5, 3);
  {
    ReadAheadSource source(tree, Walked, 16, 8);
    auto listing = source.Open(root);
    DirEntry entry;
    ASSERT_TRUE(listing->Next(entry));
    // Give the reader time to fill its window, then leave without walking further.
    for (int i = 0; i < 200 && tree.Opens(root + L"sub 0" + S + L"sub 0" + S) == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  int opened = 0;
  for (const auto& [path, folder] : tree.folders) opened += tree.Opens(path);
  EXPECT_GT(opened, 1);          // the reader did read ahead
  EXPECT_LE(opened, 1 + 16 + 1);  // but not further than its window
}

// The scan gives the same events, in the same order, whether it lists ahead or not.
TEST(ReadAheadSource, ScanEventsAreTheSameWithAndWithoutIt) {
  MemoryTree tree;
  const std::wstring root = L"root" + S;
  Grow(tree, root, 3, 3, 4);
  auto run = [&](bool readAhead) {
    MvScan scan(tree);
    scan.readAhead = readAhead;
    scan.keepTree = false;
    std::vector<std::wstring> events;
    scan.events.AddStringEventProc(kNewFileFoundEvent, [](const wchar_t* path, void* c) {
      static_cast<std::vector<std::wstring>*>(c)->push_back(L"file " + std::wstring(path));
    }, &events);
    scan.events.AddStringEventProc(kNewFolderFoundEvent, [](const wchar_t* path, void* c) {
      static_cast<std::vector<std::wstring>*>(c)->push_back(L"folder " + std::wstring(path));
    }, &events);
    scan.AddRootFolder(ScanFolder::MakeRoot(root));
    scan.Start();
    scan.Join();
    return events;
  };
  const std::vector<std::wstring> plain = run(false);
  const int opensPlain = tree.Opens(root + L"sub 2" + S);
  ASSERT_EQ(plain.size(), 40u * 4 + 39u);  // 40 folders of 4 files, 39 of them sub-folders
  EXPECT_EQ(run(true), plain);
  EXPECT_EQ(tree.Opens(root + L"sub 2" + S), 2 * opensPlain);  // each folder once per scan
}

}  // namespace
}  // namespace tessaly
