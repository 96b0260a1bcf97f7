// The walk on hostile disks: FIFOs and links put in a file's place, trees deeper than the
// open-file limit or the stack, folders that cannot be opened for want of handles, folders
// reached twice, subscribers that fail.
#include "FileHandle.h"
#include "LogCapture.h"
#include "MvScan.h"
#include "Paths.h"
#include "ScanEvents.h"
#include "TempTree.h"
#include "TextConvert.h"
#include "ZipOpen.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <fstream>
#include <functional>
#include <map>
#include <new>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tessaly {
namespace {
namespace fs = std::filesystem;

const std::wstring S(1, kPathSeparator);

std::wstring Root(const test::TempTree& tree) { return tree.RootText() + S; }

// Counts file events; runs `onFile` on each.
struct FileCounter {
  std::vector<std::wstring> names;
  std::function<void(ScanFile&)> onFile;
  void Attach(MvScan& scan) {
    scan.events.AddBinaryEventProc(kNewFileFoundEvent, [](void* d, void* c) {
      auto* self = static_cast<FileCounter*>(c);
      auto* file = static_cast<ScanFile*>(d);
      self->names.push_back(file->name);
      if (self->onFile) self->onFile(*file);
      return 0;
    }, this);
  }
};

void Walk(MvScan& scan, const std::wstring& root) {
  scan.AddRootFolder(ScanFolder::MakeRoot(root));
  scan.Start();
  scan.Join();
}

// ---- only regular files are opened -------------------------------------------------------

#ifndef _WIN32
TEST(FileHandle, OpensOnlyRegularFiles) {
  test::TempTree tree;
  const fs::path fifo = tree.root() / "pipe.mp3";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const fs::path regular = tree.AddFile("file.mp3", "x");
  struct Case {
    const char* name;
    fs::path path;
    bool opens;
  } cases[] = {
      {"regular file", regular, true},
      {"FIFO without a writer (would block for ever)", fifo, false},
      {"character device", "/dev/zero", false},
      {"folder", tree.root(), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileHandle::OpenForRead(NativeToWide(c.path.string())).IsOpen(), c.opens) << c.name;
  }
}

// An archive name on a FIFO: the ZIP listing's own open must refuse it as the file reader does.
TEST(OpenZipForListing, RefusesWhatIsNotARegularFile) {
  test::TempTree tree;
  const fs::path fifo = tree.root() / "songs.zip";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  auto opened = std::async(std::launch::async, [&] { return OpenZipForListing(NativeToWide(fifo.string())); });
  if (opened.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    // Blocked in open: a writer releases it so that the test ends.
    const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ADD_FAILURE() << "opening a FIFO named .zip blocked";
    opened.wait();
    if (writer >= 0) close(writer);
  }
  EXPECT_EQ(opened.get(), nullptr);
  EXPECT_EQ(OpenZipForListing(NativeToWide("/dev/zero")), nullptr);
  EXPECT_EQ(OpenZipForListing(NativeToWide(tree.root().string())), nullptr);
}

// The entry is listed as a regular file and replaced before the subscriber opens it.
TEST(MvScan, FileReplacedAfterListingIsNotOpenedUnlessStillRegular) {
  struct Case {
    const char* name;
    std::function<void(const fs::path& entry, const fs::path& elsewhere)> replace;
    bool opens;
  } cases[] = {
      {"left as it is", [](const fs::path&, const fs::path&) {}, true},
      {"by a FIFO", [](const fs::path& e, const fs::path&) { fs::remove(e); ASSERT_EQ(mkfifo(e.c_str(), 0600), 0); }, false},
      {"by a link to a regular file", [](const fs::path& e, const fs::path& o) { fs::remove(e); fs::create_symlink(o, e); }, false},
      {"by a link to a device", [](const fs::path& e, const fs::path&) { fs::remove(e); fs::create_symlink("/dev/zero", e); }, false},
  };
  for (bool readAhead : {true, false}) {
    for (const Case& c : cases) {
      test::TempTree tree;
      const fs::path entry = tree.AddFile("song.mp3", "ID3 and more");
      const fs::path elsewhere = tree.AddFile("other/x.bin", "other");
      MvScan scan;
      scan.readAhead = readAhead;
      FileCounter files;
      int opened = -1;
      files.onFile = [&](ScanFile& file) {
        if (file.name != L"song.mp3") return;
        c.replace(entry, elsewhere);
        opened = file.OpenReader() ? 1 : 0;
      };
      files.Attach(scan);
      Walk(scan, Root(tree));
      EXPECT_EQ(opened, c.opens ? 1 : 0) << c.name << (readAhead ? " (read-ahead)" : "");
    }
  }
}

// A FIFO listed as such: the subscriber's open gives up at once.
TEST(MvScan, FifoInTheTreeDoesNotHangTheWalk) {
  test::TempTree tree;
  ASSERT_EQ(mkfifo((tree.root() / "a.mp3").c_str(), 0600), 0);
  tree.AddFile("b.mp3", "x");
  MvScan scan;
  FileCounter files;
  int opened = 0;
  files.onFile = [&](ScanFile& file) { opened += file.OpenReader() ? 1 : 0; };
  files.Attach(scan);
  Walk(scan, Root(tree));
  EXPECT_EQ(files.names.size(), 2u);
  EXPECT_EQ(opened, 1);
}
#else
TEST(FileHandle, OpensOnlyDiskFiles) {
  test::TempTree tree;
  const fs::path regular = tree.AddFile("file.mp3", "x");
  const std::wstring pipeName = L"\\\\.\\pipe\\tessaly-test-" + std::to_wstring(GetCurrentProcessId());
  HANDLE server = CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  struct Case {
    const char* name;
    std::wstring path;
    bool opens;
  } cases[] = {
      {"regular file", regular.wstring(), true},
      {"named pipe", pipeName, false},
      {"device name inside a folder", tree.root().wstring() + L"\\NUL", false},
      {"console device inside a folder", tree.root().wstring() + L"\\CON", false},
  };
  for (const Case& c : cases) EXPECT_EQ(FileHandle::OpenForRead(c.path).IsOpen(), c.opens) << c.name;
  CloseHandle(server);
}
#endif

// ---- depth --------------------------------------------------------------------------------

// A chain of folders "d" below `root`, `levels` deep, each holding one file; listed from memory.
// Optionally one folder cannot be opened for want of handles (a given number of times), and
// folders can be given identities.
class ChainSource final : public DirectorySource {
 public:
  ChainSource(std::wstring root, size_t levels) : root_(std::move(root)), levels_(levels) {}

  std::unique_ptr<DirectoryListing> Open(const std::wstring& path) override {
    OpenFailure failure;
    return OpenChecked(path, failure);
  }
  std::unique_ptr<DirectoryListing> OpenChecked(const std::wstring& path, OpenFailure& failure) override {
    const size_t level = (path.size() - root_.size()) / 2;  // each level adds "d" and a separator
    if (level == starvedLevel && starvedOpens > 0) {
      --starvedOpens;
      failure = OpenFailure::OutOfResources;
      return nullptr;
    }
    failure = OpenFailure::None;
    ++opens;
    auto it = identities.find(level);
    return std::make_unique<Listing>(level < levels_, it == identities.end() ? nullptr : &it->second);
  }

  size_t starvedLevel = SIZE_MAX;
  int starvedOpens = 0;
  std::map<size_t, FolderIdentity> identities;
  size_t opens = 0;

 private:
  class Listing final : public DirectoryListing {
   public:
    Listing(bool hasChild, const FolderIdentity* identity) : hasChild_(hasChild), identity_(identity) {}
    bool Next(DirEntry& entry) override {
      entry = DirEntry{};
      switch (next_++) {
        case 0:
          entry.name = L"f.txt";
          return true;
        case 1:
          if (!hasChild_) return false;
          entry.name = L"d";
          entry.isDirectory = true;
          return true;
        default:
          return false;
      }
    }
    FileHandle OpenFile(const std::wstring&, const std::wstring&, bool) const override { return {}; }
    bool Identity(FolderIdentity& identity) const override {
      if (identity_) identity = *identity_;
      return identity_ != nullptr;
    }

   private:
    bool hasChild_;
    const FolderIdentity* identity_;
    int next_ = 0;
  };

  std::wstring root_;
  size_t levels_;
};

const std::wstring kChainRoot = S + L"chain" + S;

// Levels of the deep-tree tests. Each level's path is two characters longer, so the walk copies
// depth squared characters in all; Wine's C runtime copies too slowly for 30,000 levels (80 s), so
// the Windows build takes 8,000 (still far deeper than a recursive walk could go on 1 MiB).
#ifdef _WIN32
constexpr size_t kDeepLevels = 8000;
#else
constexpr size_t kDeepLevels = 30000;
#endif

// Runs `body` on a thread with a 1 MiB stack, as a Windows thread gets by default.
void OnSmallStack(std::function<void()> body) {
#ifdef _WIN32
  HANDLE thread = CreateThread(nullptr, 1 << 20, [](void* p) -> DWORD {
    (*static_cast<std::function<void()>*>(p))();
    return 0;
  }, &body, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
#else
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, 1 << 20);
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attributes, [](void* p) -> void* {
    (*static_cast<std::function<void()>*>(p))();
    return nullptr;
  }, &body), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
#endif
}

TEST(MvScan, ThirtyThousandLevelsOnAOneMebibyteStack) {
  constexpr size_t kLevels = kDeepLevels;
  ChainSource source(kChainRoot, kLevels);
  size_t files = 0;
  std::unique_ptr<ScanFile> deepest;
  OnSmallStack([&] {
    MvScan scan(source);
    scan.keepTree = false;
    scan.events.AddBinaryEventProc(kNewFileFoundEvent, [](void* d, void* c) {
      ++*static_cast<size_t*>(c);
      return 0;
    }, &files);
    auto root = ScanFolder::MakeRoot(kChainRoot);
    EXPECT_EQ(scan.WalkFolder(root, true), 0);
    EXPECT_FALSE(scan.LostResults());
  });
  EXPECT_EQ(files, kLevels + 1);
}

TEST(MvScan, KeptTreeOfThirtyThousandLevelsIsReleasedOnASmallStack) {
  constexpr size_t kLevels = kDeepLevels;
  ChainSource source(kChainRoot, kLevels);
  OnSmallStack([&] {
    auto root = ScanFolder::MakeRoot(kChainRoot);
    {
      MvScan scan(source);
      EXPECT_EQ(scan.WalkFolder(root, true), 0);
    }
    size_t levels = 0;
    for (ScanFolder* f = root.get(); !f->subFolders.empty(); f = f->subFolders[0].get()) ++levels;
    EXPECT_EQ(levels, kLevels);
    root.reset();  // the whole tree goes here, on the small stack
  });
}

// A folder that cannot be opened for want of handles is tried again; when it never opens, the
// scan says it lost results instead of taking the folder for empty.
TEST(MvScan, FolderThatCannotBeOpenedForWantOfHandles) {
  struct Case {
    const char* name;
    int starvedOpens;
    size_t files;
    bool lost;
  } cases[] = {
      {"opens at the second try", 1, 6, false},
      {"never opens", 1000, 2, true},
  };
  for (const Case& c : cases) {
    ChainSource source(kChainRoot, 5);
    source.starvedLevel = 2;
    source.starvedOpens = c.starvedOpens;
    test::LogCapture log;
    MvScan scan(source);
    FileCounter files;
    files.Attach(scan);
    Walk(scan, kChainRoot);
    EXPECT_EQ(files.names.size(), c.files) << c.name;
    EXPECT_EQ(scan.LostResults(), c.lost) << c.name;
    EXPECT_EQ(log.CountContaining(L"Failed to open folder"), c.lost ? 1u : 0u) << c.name;
  }
}

// A folder met again under another path (a bind mount; a loop) is walked once.
TEST(MvScan, FolderReachedTwiceIsWalkedOnce) {
  ChainSource source(kChainRoot, 6);
  source.identities[1] = {7, 100};
  source.identities[3] = {7, 100};  // the same folder as level 1: a loop back to it
  source.identities[4] = {8, 100};  // same index on another volume: a different folder
  MvScan scan(source);
  FileCounter files;
  files.Attach(scan);
  Walk(scan, kChainRoot);
  EXPECT_EQ(files.names.size(), 3u);  // levels 0, 1 and 2; level 3 is level 1 again
  EXPECT_FALSE(scan.LostResults());
}

#ifndef _WIN32
// Lowers the open-file limit while it lives.
class FileLimit {
 public:
  explicit FileLimit(rlim_t limit) {
    getrlimit(RLIMIT_NOFILE, &saved_);
    rlimit lower = saved_;
    lower.rlim_cur = limit;
    setrlimit(RLIMIT_NOFILE, &lower);
  }
  ~FileLimit() { setrlimit(RLIMIT_NOFILE, &saved_); }

 private:
  rlimit saved_{};
};

TEST(MvScan, TreeDeeperThanTheOpenFileLimitLosesNothing) {
  constexpr int kLevels = 150;
  test::TempTree tree;
  fs::path folder = tree.root();
  for (int i = 0; i < kLevels; ++i) {
    folder /= "d";
    fs::create_directory(folder);
    std::ofstream(folder / "f.txt") << "x";
    std::ofstream(folder / "g.txt") << "x";  // an entry after the sub-folder, or before it
  }
  for (bool readAhead : {true, false}) {
    size_t files = 0;
    bool lost = true;
    {
      FileLimit limit(64);
      MvScan scan;
      scan.readAhead = readAhead;
      FileCounter counter;
      counter.onFile = [&](ScanFile& file) { files += file.OpenReader() ? 1 : 0; };
      counter.Attach(scan);
      Walk(scan, Root(tree));
      lost = scan.LostResults();
    }
    EXPECT_EQ(files, 2u * kLevels) << (readAhead ? "read-ahead" : "plain");
    EXPECT_FALSE(lost);
  }
}
#endif

// ---- lost results -------------------------------------------------------------------------

TEST(MvScan, SubscriberThatFailsMakesTheRunLoseResults) {
  struct Case {
    const char* name;
    bool fail;
  } cases[] = {{"all handled", false}, {"out of memory in a handler", true}};
  for (const Case& c : cases) {
    test::TempTree tree;
    tree.AddFile("a.mp3", "x");
    tree.AddFile("b.mp3", "x");
    MvScan scan;
    FileCounter files;
    files.onFile = [&](ScanFile& file) {
      if (c.fail && file.name == L"a.mp3") throw std::bad_alloc();
    };
    files.Attach(scan);
    Walk(scan, Root(tree));
    EXPECT_EQ(files.names.size(), 2u) << c.name;  // the walk goes on
    EXPECT_EQ(scan.LostResults(), c.fail) << c.name;
  }
}

}  // namespace
}  // namespace tessaly
