#include "LogCapture.h"
#include "MvFault.h"
#include "MvScan.h"
#include "Paths.h"
#include "ScanEvents.h"
#include "TempTree.h"
#include "TextConvert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace tessaly {
namespace {
namespace fs = std::filesystem;

const std::wstring S(1, kPathSeparator);

// Records every scan event in order.
struct Watcher {
  std::mutex mutex;
  std::vector<std::wstring> events;       // kind + payload path
  std::vector<std::wstring> filePaths;    // from the string event
  std::vector<std::wstring> folderPaths;  // from the string event
  std::function<void(ScanFile&)> onFile;

  void Attach(MvScan& scan) {
    scan.events.AddBinaryEventProc(kScanStartedEvent, [](void*, void* c) {
      static_cast<Watcher*>(c)->Add(L"started");
      return 0;
    }, this);
    scan.events.AddBinaryEventProc(kScanFinishedEvent, [](void*, void* c) {
      static_cast<Watcher*>(c)->Add(L"finished");
      return 0;
    }, this);
    scan.events.AddBinaryEventProc(kNewFolderFoundEvent, [](void* d, void* c) {
      static_cast<Watcher*>(c)->Add(L"folder " + static_cast<ScanFolder*>(d)->name);
      return 0;
    }, this);
    scan.events.AddBinaryEventProc(kNewFileFoundEvent, [](void* d, void* c) {
      auto* self = static_cast<Watcher*>(c);
      auto* file = static_cast<ScanFile*>(d);
      self->Add(L"file " + file->name);
      if (self->onFile) self->onFile(*file);
      return 0;
    }, this);
    scan.events.AddStringEventProc(kNewFileFoundEvent, [](const wchar_t* t, void* c) {
      auto* self = static_cast<Watcher*>(c);
      std::lock_guard g(self->mutex);
      self->filePaths.push_back(t);
    }, this);
    scan.events.AddStringEventProc(kNewFolderFoundEvent, [](const wchar_t* t, void* c) {
      auto* self = static_cast<Watcher*>(c);
      std::lock_guard g(self->mutex);
      self->folderPaths.push_back(t);
    }, this);
  }
  void Add(std::wstring e) {
    std::lock_guard g(mutex);
    events.push_back(std::move(e));
  }
  size_t CountPrefix(const std::wstring& prefix) {
    std::lock_guard g(mutex);
    return static_cast<size_t>(std::count_if(events.begin(), events.end(),
                                             [&](const std::wstring& e) { return e.rfind(prefix, 0) == 0; }));
  }
};

std::wstring Root(const test::TempTree& tree) { return tree.RootText() + S; }

TEST(MvScan, EmptyQueueGivesOnlyTheFinishEvent) {
  test::LogCapture log;
  MvScan scan;
  Watcher w;
  w.Attach(scan);
  scan.Start();
  scan.Join();
  EXPECT_EQ(w.events, (std::vector<std::wstring>{L"finished"}));
  EXPECT_EQ(log.Count(L"MvScan::ScanThread(), No drives to scan\r\n"), 1u);
  EXPECT_FALSE(scan.IsRunning());
}

TEST(MvScan, WalksEveryFileAndFolderAndSkipsDotFolders) {
  test::TempTree tree;
  tree.AddFile("a.mp3", "x");
  tree.AddFile("Music/b.ogg", "xx");
  tree.AddFile("Music/Deep/c.avi", "xxx");
  tree.AddFolder("Empty");
  tree.AddFile(".git/objects/d.bin", "hidden");
  tree.AddFile(".hidden/e.mp3", "hidden");
  tree.AddFile(".dotfile.mp3", "a file, not a folder");

  test::LogCapture log;
  MvScan scan;
  Watcher w;
  w.Attach(scan);
  auto root = ScanFolder::MakeRoot(Root(tree));
  scan.AddRootFolder(root);
  scan.Start();
  scan.Join();

  EXPECT_EQ(w.events.front(), L"started");
  EXPECT_EQ(w.events.back(), L"finished");
  std::set<std::wstring> seen(w.events.begin(), w.events.end());
  for (auto want : {L"file a.mp3", L"file b.ogg", L"file c.avi", L"file .dotfile.mp3", L"folder Music",
                    L"folder Deep", L"folder Empty"}) {
    EXPECT_TRUE(seen.count(want)) << std::string(want, want + std::wcslen(want));
  }
  EXPECT_EQ(w.CountPrefix(L"file "), 4u);
  EXPECT_EQ(w.CountPrefix(L"folder "), 3u);
  EXPECT_EQ(scan.filesFound, 4u);
  EXPECT_EQ(scan.foldersFound, 3u);
  EXPECT_EQ(scan.QueuedRootCount(), 0u);

  std::set<std::wstring> paths(w.filePaths.begin(), w.filePaths.end());
  EXPECT_TRUE(paths.count(Root(tree) + L"Music" + S + L"Deep" + S + L"c.avi"));
  std::set<std::wstring> folders(w.folderPaths.begin(), w.folderPaths.end());
  EXPECT_TRUE(folders.count(Root(tree) + L"Music" + S + L"Deep" + S));

  // keepTree (the default) keeps the whole tree.
  EXPECT_EQ(root->files.size(), 2u);  // a.mp3, .dotfile.mp3
  EXPECT_EQ(root->subFolders.size(), 2u);
  EXPECT_EQ(root->scanning, 0);
  EXPECT_NE(root->doneTime, nullptr);
  EXPECT_EQ(log.Count(L"Scanning Folder(" + Root(tree) + L"), Done\r\n"), 1u);
}

TEST(MvScan, SubscriberReadsContentThroughTheReader) {
  test::TempTree tree;
  tree.AddFile("head.bin", "RIFF1234AVI LIST");
  MvScan scan;
  Watcher w;
  std::string head, again;
  w.onFile = [&](ScanFile& file) {
    ASSERT_TRUE(file.OpenReader());
    char buffer[4];
    head.assign(buffer, file.Read(buffer, 4));
    ASSERT_TRUE(file.Seek(8));
    again.assign(buffer, file.Read(buffer, 4));
    ASSERT_TRUE(file.OpenReader());  // reopening rewinds
    head.append(buffer, file.Read(buffer, 4));
  };
  w.Attach(scan);
  scan.AddRootFolder(ScanFolder::MakeRoot(Root(tree)));
  scan.Start();
  scan.Join();
  EXPECT_EQ(head, "RIFFRIFF");
  EXPECT_EQ(again, "AVI ");
}

TEST(MvScan, StopDuringADeepWalkEndsCleanly) {
  test::TempTree tree;
  std::string deep;
  for (int i = 0; i < 30; ++i) {
    deep += "level" + std::to_string(i) + "/";
    for (int f = 0; f < 5; ++f) tree.AddFile(deep + "f" + std::to_string(f) + ".txt", "x");
  }
  test::LogCapture log;
  MvScan scan;
  Watcher w;
  std::atomic<int> seen{0};
  w.onFile = [&](ScanFile&) {
    if (++seen == 20) scan.Stop();
  };
  w.Attach(scan);
  scan.AddRootFolder(ScanFolder::MakeRoot(Root(tree)));
  scan.Start();
  scan.Join();
  EXPECT_EQ(w.CountPrefix(L"file "), 20u);  // nothing after the request
  EXPECT_EQ(w.events.back(), L"finished");
  EXPECT_EQ(log.Count(L"Scanning Folder(" + Root(tree) + L"), Cancelled\r\n"), 1u);
  EXPECT_EQ(log.Count(L"MvScan::Start(), Stopping Thread\r\n"), 1u);
  EXPECT_EQ(scan.QueuedRootCount(), 0u);
  EXPECT_EQ(scan.WalkDepth(), 0);
}

TEST(MvScan, PauseHoldsTheWalkUntilResumed) {
  test::TempTree tree;
  for (int f = 0; f < 10; ++f) tree.AddFile("f" + std::to_string(f), "x");
  MvScan scan;
  Watcher w;
  std::atomic<int> seen{0};
  w.onFile = [&](ScanFile&) {
    if (++seen == 3) scan.TogglePause();  // pause from inside: the walk waits at its next entry
  };
  w.Attach(scan);
  scan.AddRootFolder(ScanFolder::MakeRoot(Root(tree)));
  scan.Start();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(seen, 3);
  EXPECT_TRUE(scan.IsRunning());
  scan.TogglePause();
  scan.Join();
  EXPECT_EQ(seen, 10);
}

TEST(MvScan, SecondStartWhileRunningOnlyLogs) {
  test::TempTree tree;
  tree.AddFile("a", "x");
  tree.AddFile("b", "x");
  test::LogCapture log;
  MvScan scan;
  Watcher w;
  std::atomic<bool> release{false};
  std::atomic<bool> inside{false};
  w.onFile = [&](ScanFile&) {
    inside = true;
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  w.Attach(scan);
  scan.AddRootFolder(ScanFolder::MakeRoot(Root(tree)));
  scan.Start();
  while (!inside) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  scan.Start();
  release = true;
  scan.Join();
  EXPECT_EQ(log.Count(L"MvScan::Start(), Thread already started\r\n"), 1u);
  EXPECT_EQ(log.Count(L"MvScan::Start(), Starting thread\r\n"), 1u);
  EXPECT_EQ(w.CountPrefix(L"started"), 1u);

  // After the run a new run needs new roots, and counters restart.
  scan.AddRootFolder(ScanFolder::MakeRoot(Root(tree)));
  scan.Start();
  scan.Join();
  EXPECT_EQ(scan.filesFound, 2u);
  EXPECT_EQ(w.CountPrefix(L"finished"), 2u);
}

TEST(MvScan, ClusterAccountingRoundsUpAndSkipsEmptyFiles) {
  test::TempTree tree;
  tree.AddFileOfSize("one", 1);
  tree.AddFileOfSize("zero", 0);
  MvScan scan;
  scan.AddRootFolder(ScanFolder::MakeRoot(Root(tree)));
  scan.Start();
  scan.Join();
  ASSERT_GT(scan.AllocationUnit(), 0u);
  EXPECT_EQ(scan.AllocationUnit(), scan.SectorsPerCluster() * scan.BytesPerSector());
  EXPECT_EQ(scan.rootBytesScanned, scan.AllocationUnit());  // 1 byte takes one cluster, 0 takes none
  EXPECT_EQ(scan.bytesScannedAll, scan.AllocationUnit());
  EXPECT_GT(scan.totalBytes, 0u);
}

// A disk whose listing of one folder faults a given number of times.
class FaultingSource final : public DirectorySource {
 public:
  FaultingSource(std::wstring faultyPath, int faults) : faultyPath_(std::move(faultyPath)), faults_(faults) {}
  std::unique_ptr<DirectoryListing> Open(const std::wstring& path) override {
    if (path == faultyPath_ && faults_ > 0) {
      --faults_;
      throw MvFault(kFaultAccessViolation);
    }
    return SystemDirectorySource().Open(path);
  }
  int faultsLeft() const { return faults_; }

 private:
  std::wstring faultyPath_;
  int faults_;
};

TEST(MvScan, RootFaultingSixTimesIsReportedAndSkipped) {
  test::TempTree bad, good;
  bad.AddFile("never.mp3", "x");
  good.AddFile("walked.mp3", "x");
  FaultingSource source(Root(bad), 6);
  test::LogCapture log;
  MvScan scan(source);
  Watcher w;
  w.Attach(scan);
  scan.AddRootFolder(ScanFolder::MakeRoot(Root(bad)));
  scan.AddRootFolder(ScanFolder::MakeRoot(Root(good)));
  scan.Start();
  scan.Join();
  const int code = static_cast<int>(kFaultAccessViolation);
  for (int attempt = 1; attempt <= 5; ++attempt) {
    EXPECT_EQ(log.CountContaining(L") Failed to scan folder, attempt: " + std::to_wstring(attempt) +
                                  L", Exception Code: " + std::to_wstring(code) + L"\r\n"), 1u);
  }
  EXPECT_EQ(log.CountContaining(L") Failed to scan folder, no more attempts to scan folder, Exception Code: " +
                                std::to_wstring(code) + L"\r\n"), 1u);
  EXPECT_EQ(w.CountPrefix(L"file never"), 0u);
  EXPECT_EQ(w.CountPrefix(L"file walked.mp3"), 1u);
  EXPECT_EQ(w.events.back(), L"finished");
}

TEST(MvScan, RetriesAreSharedAcrossRoots) {
  test::TempTree first, second;
  first.AddFile("one.mp3", "x");
  second.AddFile("two.mp3", "x");
  // The first root faults three times and then walks; the second then has only two retries left
  // before it is given up... but it faults three times, so it is skipped.
  struct TwoFaulty final : DirectorySource {
    std::wstring a, b;
    int faultsA = 3, faultsB = 3;
    std::unique_ptr<DirectoryListing> Open(const std::wstring& path) override {
      if (path == a && faultsA > 0) { --faultsA; throw MvFault(kFaultAccessViolation); }
      if (path == b && faultsB > 0) { --faultsB; throw MvFault(kFaultAccessViolation); }
      return SystemDirectorySource().Open(path);
    }
  } source;
  source.a = Root(first);
  source.b = Root(second);
  test::LogCapture log;
  MvScan scan(source);
  Watcher w;
  w.Attach(scan);
  scan.AddRootFolder(ScanFolder::MakeRoot(Root(first)));
  scan.AddRootFolder(ScanFolder::MakeRoot(Root(second)));
  scan.Start();
  scan.Join();
  EXPECT_EQ(w.CountPrefix(L"file one.mp3"), 1u);
  EXPECT_EQ(w.CountPrefix(L"file two.mp3"), 0u);
  EXPECT_EQ(log.CountContaining(L"no more attempts"), 1u);
  EXPECT_EQ(log.CountContaining(L"attempt: 5,"), 1u);
}

TEST(MvScan, UnreadableOrVanishedRootIsTreatedAsEmpty) {
  MvScan scan;
  Watcher w;
  w.Attach(scan);
  scan.AddRootFolder(ScanFolder::MakeRoot(L"/nonexistent-tessaly-folder" + S));
  scan.Start();
  scan.Join();
  EXPECT_EQ(w.events, (std::vector<std::wstring>{L"started", L"finished"}));
}

TEST(MvScan, WithoutTreeOnlyKeptRecordsSurviveAndStillKnowTheirPath) {
  test::TempTree tree;
  tree.AddFile("keep/me.mp3", "x");
  tree.AddFile("drop/me.txt", "x");
  MvScan scan;
  scan.keepTree = false;
  Watcher w;
  std::vector<std::unique_ptr<ScanFile>> kept;
  w.onFile = [&](ScanFile& file) {
    if (file.name == L"me.mp3") kept.push_back(file.Keep());
  };
  w.Attach(scan);
  auto root = ScanFolder::MakeRoot(Root(tree));
  scan.AddRootFolder(root);
  scan.Start();
  scan.Join();
  ASSERT_EQ(kept.size(), 1u);
  ASSERT_NE(kept[0], nullptr);
  EXPECT_TRUE(root->subFolders.empty());
  EXPECT_TRUE(root->files.empty());
  EXPECT_EQ(kept[0]->FilePath(), Root(tree) + L"keep" + S + L"me.mp3");
  EXPECT_TRUE(kept[0]->OpenReader());  // the path still opens after the walk
}

TEST(MvScan, DirectoryLinksAreNeitherAnnouncedNorWalked) {
  test::TempTree tree;
  tree.AddFile("real/song.mp3", "x");
  std::error_code error;
  fs::create_directory_symlink(tree.root(), tree.root() / "real" / "loop", error);  // a loop
  if (error) GTEST_SKIP() << "no directory links here: " << error.message();
  MvScan scan;
  Watcher w;
  w.Attach(scan);
  scan.AddRootFolder(ScanFolder::MakeRoot(Root(tree)));
  scan.Start();
  scan.Join();
  EXPECT_EQ(w.CountPrefix(L"file "), 1u);
  EXPECT_EQ(w.CountPrefix(L"folder loop"), 0u);
}

TEST(MvScan, PathsLongerThanMaxPathAreWalked) {
  test::TempTree tree;
  fs::path deep = tree.root();
  std::wstring expectedTail;
  for (int i = 0; i < 8; ++i) {
    std::wstring name = L"folder_with_a_rather_long_name_number_" + std::to_wstring(i);
    deep /= name;
    expectedTail += name + S;
  }
#ifdef _WIN32
  fs::path creatable = L"\\\\?\\" + deep.wstring();
#else
  fs::path creatable = deep;
#endif
  fs::create_directories(creatable);
  { std::ofstream((creatable / L"deep.mp3")) << "x"; }
  ASSERT_GT((deep / L"deep.mp3").wstring().size(), 260u);
  MvScan scan;
  Watcher w;
  bool opened = false;
  w.onFile = [&](ScanFile& file) { opened = file.OpenReader(); };
  w.Attach(scan);
  scan.AddRootFolder(ScanFolder::MakeRoot(Root(tree)));
  scan.Start();
  scan.Join();
  ASSERT_EQ(w.filePaths.size(), 1u);
  EXPECT_EQ(w.filePaths[0], Root(tree) + expectedTail + L"deep.mp3");
  EXPECT_TRUE(opened);
}

#ifndef _WIN32
TEST(MvScan, NamesThatAreNotValidUtf8AreAnnouncedAndOpen) {
  test::TempTree tree;
  const std::string raw = "bad-\xFF\xFE-name.mp3";
  tree.AddFile(fs::path(raw), "content");
  MvScan scan;
  Watcher w;
  std::string content;
  w.onFile = [&](ScanFile& file) {
    char buffer[16];
    if (file.OpenReader()) content.assign(buffer, file.Read(buffer, sizeof buffer));
  };
  w.Attach(scan);
  scan.AddRootFolder(ScanFolder::MakeRoot(Root(tree)));
  scan.Start();
  scan.Join();
  ASSERT_EQ(w.filePaths.size(), 1u);
  EXPECT_EQ(WideToNative(w.filePaths[0]), WideToNative(Root(tree)) + raw);
  EXPECT_EQ(content, "content");
}
#endif

}  // namespace
}  // namespace tessaly
