#include "ArchiveWriters.h"
#include "LogCapture.h"
#include "Paths.h"
#include "ScanRun.h"
#include "TempTree.h"
#include "TextConvert.h"

#include <gtest/gtest.h>

#include <chrono>
#include <new>
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace tessaly {
namespace {
namespace fs = std::filesystem;

const std::wstring S(1, kPathSeparator);

// A deterministic Windows executable of the given size.
std::string FakeExecutable(size_t size, uint32_t seed) {
  std::string bytes(size, '\0');
  uint32_t state = seed;
  for (auto& b : bytes) {
    state = state * 1103515245u + 12345u;
    b = static_cast<char>(state >> 24);
  }
  bytes[0] = 'M';
  bytes[1] = 'Z';
  return bytes;
}

std::string Id3Song(size_t size) {
  std::string bytes = "ID3" + std::string(size - 3, '\x01');
  return bytes;
}

std::wstring Texts(const wchar_t* id) {
  static const std::map<std::wstring, std::wstring> texts = {
      {L"IDS_ALLLOCALDRIVES", L"All local drives"},
      {L"IDS_SEARCHFORMUSICVIDEOSOFTWARE", L"Search for music, video and file-sharing software"},
      {L"IDS_SEARCHFORMUSICVIDEOFILES", L"Search for music and video files"},
      {L"IDS_SEARCHFORFILESHARINGSOFTWARE", L"Search for file-sharing software"},
      {L"IDS_SEARCHFORIMAGEFILES", L"Search for image files"},
      {L"IDS_SEARCHFORVIDEOFILES", L"Search for video files"},
      {L"IDS_SEARCHFORMUSICFILES", L"Search for music files"},
      {L"IDS_SCANNING", L"Scanning"},
      {L"IDS_READY", L"Ready"},
      {L"IDS_FILE_S_FOUND", L"File(s) found"},
      {L"IDS_VIDEO", L"Video"},
      {L"IDS_MUSIC", L"Music"},
      {L"IDS_IMAGE", L"Image"},
      {L"IDS_FILESHARINGSOFTWARE", L"File-sharing software"},
      {L"IDS_HASBEENIDENTIFIEDAS", L"has been identified as"},
      {L"IDS_AFILESHARINGSOFTWARE", L"a file-sharing software application"},
  };
  auto found = texts.find(id);
  return found == texts.end() ? std::wstring(id) : found->second;
}

// A computer with one P2P client sharing <root>/Share, and media inside and outside it.
struct Computer {
  static constexpr size_t kClientSize = 4000;
  test::TempTree tree;
  SignatureDatabase signatures;
  MediaSettings media;
  MemorySettingsStore settings;
  std::unique_ptr<SharedFolderMappings> mappings;
  MvLinkedList properties;
  std::vector<ScanRunItem> items;
  std::mutex itemsLock;
  int finished = 0;

  Computer() {
    const std::string client = FakeExecutable(kClientSize, 7);
    tree.AddFile("Programs/OneMX/onemx.exe", client);
    tree.AddFile("Programs/OneMX/shareddir.dat", WideToNative(Root() + L"Share") + "\r\n");
    tree.AddFile("Share/song.mp3", "music");
    tree.AddFile("Share/deep/clip.avi", "video");
    tree.AddFile("Share/pic.jpg", "image");
    tree.AddFile("Shared Music/near.mp3", "music");  // the plain prefix test matches this too
    tree.AddFile("Other/elsewhere.mp3", "music");
    tree.AddFile("Other/film.avi", "video");
    tree.AddFile("Other/renamed.dat", Id3Song(300));
    tree.AddFile("Other/same size.mp3", std::string(kClientSize, 'x'));  // a signature's size
    tree.AddFile("Other/notes.txt", "text");
    tree.AddFile("Other/songs.zip", test::ZipBuilder().Add("in zip.mp3", "zipped music").Build());

    FileHandle file = FileHandle::OpenForRead(Root() + L"Programs" + S + L"OneMX" + S + L"onemx.exe");
    auto sums = ComputeSignatureSums(file, kClientSize);
    auto signature = std::make_unique<P2pSignature>();
    signature->fileSize = static_cast<int32_t>(kClientSize);
    signature->headSum = sums->headSum;
    signature->middleSum = sums->middleSum;
    signature->headerSum = sums->headerSum;
    signature->name = L"OneMX";
    signature->nameLength = 5;
    signatures.Add(std::move(signature));

    media.soundExtensions = std::vector<std::wstring>{L".mp3"};
    media.videoExtensions = std::vector<std::wstring>{L".avi"};
    media.imageExtensions = std::vector<std::wstring>{L".jpg"};
    media.minSoundSize = media.minVideoSize = 0;
    media.maxSoundSize = media.maxVideoSize = 100;
    mappings = std::make_unique<SharedFolderMappings>(L"OneMX=FindOneMX\r\n", L"", FinderContext{&settings});
  }

  std::wstring Root() const { return tree.RootText() + S; }

  ScanRun::Setup Setup() {
    ScanRun::Setup setup;
    setup.properties = &properties;
    setup.media = &media;
    setup.signatures = &signatures;
    setup.mappings = mappings.get();
    setup.settings = &settings;
    setup.text = Texts;
    return setup;
  }

  void Watch(ScanRun& run) {
    run.events.AddBinaryEventProc(kScanRunAddItemEvent, [](void* data, void* context) {
      auto* self = static_cast<Computer*>(context);
      std::lock_guard guard(self->itemsLock);
      self->items.push_back(*static_cast<ScanRunItem*>(data));
      return 0;
    }, this);
    run.events.AddBinaryEventProc(kScanRunFinishedEvent, [](void*, void* context) {
      ++static_cast<Computer*>(context)->finished;
      return 0;
    }, this);
  }

  std::set<std::wstring> Names(MvLinkedList& list) {
    std::set<std::wstring> names;
    for (const MvListEntry& e : list) names.insert(static_cast<ScanFile*>(e.value)->name);
    return names;
  }
  std::set<std::wstring> ItemsFor(const wchar_t* listView) {
    std::set<std::wstring> names;
    for (const auto& item : items) {
      if (std::wstring(item.listView) == listView) names.insert(item.text);
    }
    return names;
  }
  uintptr_t Count(const wchar_t* name) { return ValueNumber(properties.Find(name)->value); }
};

TEST(ScanRun, WholeScanFindsTheClientItsSharedMediaAndEverythingElse) {
  Computer pc;
  test::LogCapture log;
  ScanRun run(pc.Setup());
  pc.Watch(run);
  ASSERT_TRUE(run.StartDiskScan(pc.Root(), Texts(L"IDS_SEARCHFORMUSICVIDEOSOFTWARE")));
  run.Wait();

  EXPECT_EQ(pc.Names(run.P2pFiles()), (std::set<std::wstring>{L"onemx.exe"}));
  EXPECT_EQ(pc.Names(run.MusicFiles()), (std::set<std::wstring>{L"song.mp3", L"near.mp3", L"elsewhere.mp3",
                                                                 L"renamed.dat", L"same size.mp3", L"in zip.mp3"}));
  EXPECT_EQ(pc.Names(run.VideoFiles()), (std::set<std::wstring>{L"clip.avi", L"film.avi"}));
  EXPECT_EQ(pc.Names(run.ImageFiles()), (std::set<std::wstring>{L"pic.jpg"}));
  EXPECT_EQ(pc.Count(L"ScanP2pFilesFound"), 1u);
  EXPECT_EQ(pc.Count(L"ScanMusicFilesFound"), 6u);
  EXPECT_EQ(pc.Count(L"ScanVideoFilesFound"), 2u);
  EXPECT_EQ(pc.Count(L"ScanImageFilesFound"), 1u);
  EXPECT_EQ(pc.Count(L"ScanAllFilesChecked"), 13u);  // 12 files and one archive member
  // Content examined for the media test: shareddir.dat, renamed.dat, notes.txt, songs.zip (the
  // client was identified by its signature instead).
  EXPECT_EQ(pc.Count(L"ScanAllFilesBinaryChecked"), 4u);
  EXPECT_EQ(pc.properties.Find(L"CurrentScanProcess")->value, nullptr);
  EXPECT_NE(pc.properties.Find(L"LastScanProcess")->value, nullptr);

  // Shared-folder matching: everything under <root>/Share..., nothing under Other/.
  EXPECT_EQ(pc.ItemsFor(kListViewSharedMedia), (std::set<std::wstring>{L"song.mp3", L"clip.avi", L"near.mp3"}));
  EXPECT_EQ(pc.ItemsFor(kListViewSharedImages), (std::set<std::wstring>{L"pic.jpg"}));
  EXPECT_TRUE(pc.ItemsFor(kListViewSharedOtherFiles).empty());
  ScanFile* client = static_cast<ScanFile*>(run.P2pFiles().begin()->value);
  for (const MvListEntry& e : run.MusicFiles()) {
    auto* file = static_cast<ScanFile*>(e.value);
    MvListEntry* belonging = file->properties ? file->properties->Find(L"BelongingP2pProgramFile") : nullptr;
    const bool shared = file->name == L"song.mp3" || file->name == L"near.mp3";
    EXPECT_EQ(belonging != nullptr, shared) << WideToUtf8(file->name);
    if (belonging) {
      EXPECT_EQ(belonging->value, client);
    }
  }
  EXPECT_EQ(log.Count(L"Matched Shared: " + pc.Root() + L"Share" + S + L" == " + pc.Root() + L"Share\r\n"), 2u);

  // The P2P row and its properties.
  EXPECT_EQ(client->properties->Find(L"P2pBlocked")->value, kFalse);
  EXPECT_EQ(static_cast<P2pSignature*>(client->properties->Find(L"P2PSIGNATURE")->value)->name, L"OneMX");
  auto p2pRow = std::find_if(pc.items.begin(), pc.items.end(),
                             [](const ScanRunItem& i) { return std::wstring(i.listView) == kListViewP2p; });
  ASSERT_NE(p2pRow, pc.items.end());
  EXPECT_EQ(p2pRow->columns[0], L"onemx.exe has been identified as OneMX - a file-sharing software application");
  EXPECT_EQ(p2pRow->columns[1], L"1");
  // A media row: folder path, size, extension.
  auto filmRow = std::find_if(pc.items.begin(), pc.items.end(), [](const ScanRunItem& i) { return i.text == L"film.avi"; });
  ASSERT_NE(filmRow, pc.items.end());
  EXPECT_EQ(filmRow->columns[0], pc.Root() + L"Other" + S);
  EXPECT_EQ(filmRow->columns[1], L"5");
  EXPECT_EQ(filmRow->columns[2], L".avi");
  // The archive member keeps its archive path after the scan.
  for (const MvListEntry& e : run.MusicFiles()) {
    auto* file = static_cast<ScanFile*>(e.value);
    if (file->name == L"in zip.mp3") {
      EXPECT_EQ(file->FilePath(), pc.Root() + L"Other" + S + L"songs.zip" + S + L"::ZIP::in zip.mp3");
    }
  }
  EXPECT_EQ(pc.finished, 1);
  EXPECT_FALSE(run.WasStopped());
}

TEST(ScanRun, FilterSwitches) {
  struct Case {
    const char* name;
    std::wstring filter;
    uintptr_t p2p, music, video, images;
  } cases[] = {
      {"software only: media counted nowhere", Texts(L"IDS_SEARCHFORFILESHARINGSOFTWARE"), 1, 0, 0, 0},
      {"music and video", Texts(L"IDS_SEARCHFORMUSICVIDEOFILES"), 0, 6, 2, 0},
      {"images, any case", L"SEARCH FOR IMAGE FILES", 0, 0, 0, 1},
      {"video", Texts(L"IDS_SEARCHFORVIDEOFILES"), 0, 0, 2, 0},
      {"music", Texts(L"IDS_SEARCHFORMUSICFILES"), 0, 6, 0, 0},
      {"free text in the name", L"song", 0, 1, 0, 0},
  };
  for (const auto& c : cases) {
    Computer pc;
    ScanRun run(pc.Setup());
    ASSERT_TRUE(run.StartDiskScan(pc.Root(), c.filter)) << c.name;
    run.Wait();
    EXPECT_EQ(pc.Count(L"ScanP2pFilesFound"), c.p2p) << c.name;
    EXPECT_EQ(pc.Count(L"ScanMusicFilesFound"), c.music) << c.name;
    EXPECT_EQ(pc.Count(L"ScanVideoFilesFound"), c.video) << c.name;
    EXPECT_EQ(pc.Count(L"ScanImageFilesFound"), c.images) << c.name;
    EXPECT_EQ(pc.Count(L"ScanAllFilesChecked"), 13u) << c.name;
  }
}

TEST(ScanRun, BlockedProgramIsMarked) {
  Computer pc;
  const P2pSignature* signature = pc.signatures.Signatures().front();
  SettingsValue value;
  value.text = FormatPrintf(L"Block: %d", signature->middleSum);
  pc.settings.Set(SettingsRoot::CurrentUser, kBlockedProgramsKey, L"onemx.exe", value);
  ScanRun run(pc.Setup());
  run.StartDiskScan(pc.Root(), Texts(L"IDS_SEARCHFORMUSICVIDEOSOFTWARE"));
  run.Wait();
  auto* client = static_cast<ScanFile*>(run.P2pFiles().begin()->value);
  EXPECT_EQ(client->properties->Find(L"P2pBlocked")->value, kTrue);
}

TEST(ScanRun, StartWhileRunningEmptiesResultsAndStartsNothing) {
  Computer pc;
  ScanRun run(pc.Setup());
  struct Gate {
    std::atomic<bool> entered{false}, release{false};
  } gate;
  // Hold the worker at the start of its run, before any file.
  run.events.AddBinaryEventProc(kScanRunStartedEvent, [](void*, void* context) {
    auto* g = static_cast<Gate*>(context);
    g->entered = true;
    while (!g->release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 0;
  }, &gate);
  ASSERT_TRUE(run.StartDiskScan(pc.Root(), Texts(L"IDS_SEARCHFORMUSICVIDEOSOFTWARE")));
  while (!gate.entered) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  auto* firstMusicList = pc.properties.Find(L"ScanMusicFileList")->value;
  EXPECT_FALSE(run.StartDiskScan(pc.Root(), Texts(L"IDS_SEARCHFORMUSICVIDEOSOFTWARE")));
  EXPECT_NE(pc.properties.Find(L"ScanMusicFileList")->value, firstMusicList);  // fresh lists
  EXPECT_EQ(pc.Count(L"ScanAllFilesChecked"), 0u);
  gate.release = true;
  run.Wait();
  EXPECT_EQ(pc.Count(L"ScanAllFilesChecked"), 13u);  // one run only, into the fresh lists
  EXPECT_EQ(&run.MusicFiles(), pc.properties.Find(L"ScanMusicFileList")->value);
  EXPECT_FALSE(run.IsRunning());
}

TEST(ScanRun, AllLocalDrivesWithNoReadyVolumeStillFinishesInFull) {
  Computer pc;
  VolumeSet computer;
  auto volume = std::make_unique<VolumeInfo>();
  volume->volumeName = L"gone";
  volume->ready = false;
  volume->root = ScanFolder::MakeRoot(pc.Root());
  computer.volumes.push_back(std::move(volume));
  ScanRun::Setup setup = pc.Setup();
  setup.computer = &computer;
  int polls = 0;
  setup.volumesEnumerated = [&polls] { return ++polls > 1; };  // waits for the enumeration
  test::LogCapture log;
  ScanRun run(setup);
  pc.Watch(run);
  ASSERT_TRUE(run.StartDiskScan(L"ALL LOCAL DRIVES", Texts(L"IDS_SEARCHFORMUSICVIDEOSOFTWARE")));
  run.Wait();
  EXPECT_EQ(polls, 2);
  EXPECT_EQ(pc.finished, 1);
  EXPECT_EQ(pc.Count(L"ScanAllFilesChecked"), 0u);
  EXPECT_EQ(log.Count(L"StartDiskScan: Adding disks for scanning\r\n"), 1u);
  EXPECT_EQ(log.Count(L"StartDiskScan: Volume not ready(gone)\r\n"), 1u);
  EXPECT_EQ(log.Count(L"MvScan::ScanThread(), No drives to scan\r\n"), 1u);
}

TEST(ScanRun, StatusTexts) {
  Computer pc;
  ScanRun run(pc.Setup());
  run.StartDiskScan(pc.Root(), Texts(L"IDS_SEARCHFORMUSICVIDEOSOFTWARE"));
  run.Wait();
  ScanStatusText ready = run.StatusText(nullptr);
  EXPECT_EQ(ready.activity, L"Ready");
  EXPECT_EQ(ready.counts, L"10 File(s) found: Video(2), Music(6), File-sharing software(1), Image(1)");
  ScanFile* client = static_cast<ScanFile*>(run.P2pFiles().begin()->value);
  EXPECT_EQ(run.StatusText(client).activity, L"Scanning: " + client->FilePath());
}

TEST(ScanRun, StopEndsTheRunWithPartialResults) {
  Computer pc;
  for (int i = 0; i < 200; ++i) pc.tree.AddFile("Many/f" + std::to_string(i) + ".mp3", "music");
  ScanRun run(pc.Setup());
  run.events.AddBinaryEventProc(kScanRunAddItemEvent, [](void*, void* context) {
    static_cast<ScanRun*>(context)->Stop();
    return 0;
  }, &run);
  run.StartDiskScan(pc.Root(), Texts(L"IDS_SEARCHFORMUSICVIDEOSOFTWARE"));
  run.Wait();
  EXPECT_TRUE(run.WasStopped());
  EXPECT_LT(pc.Count(L"ScanAllFilesChecked"), 200u);
  EXPECT_FALSE(run.IsRunning());
}

// Memory follows the results, not the files: only records that became results are kept.
TEST(ScanRun, KeepsOnlyTheRecordsOfResults) {
  Computer pc;
  for (int i = 0; i < 300; ++i) pc.tree.AddFile("Plain/f" + std::to_string(i) + ".txt", "text");
  std::string zip;
  {
    test::ZipBuilder builder;
    for (int i = 0; i < 300; ++i) builder.Add("m" + std::to_string(i) + ".txt", "x");
    zip = builder.Build();
  }
  pc.tree.AddFile("Plain/many.zip", zip);
  ScanRun run(pc.Setup());
  run.StartDiskScan(pc.Root(), Texts(L"IDS_SEARCHFORMUSICVIDEOSOFTWARE"));
  run.Wait();
  const size_t results = pc.Count(L"ScanP2pFilesFound") + pc.Count(L"ScanMusicFilesFound") +
                         pc.Count(L"ScanVideoFilesFound") + pc.Count(L"ScanImageFilesFound");
  EXPECT_GT(pc.Count(L"ScanAllFilesChecked"), 600u);
  EXPECT_EQ(run.KeptRecords(), results);
  EXPECT_FALSE(run.LostResults());
}

// A view that fails to take a row loses it: the run says so instead of passing for complete.
TEST(ScanRun, ListenerThatFailsMakesTheRunLoseResults) {
  Computer pc;
  test::LogCapture log;
  ScanRun run(pc.Setup());
  run.events.AddBinaryEventProc(kScanRunAddItemEvent, [](void*, void*) -> int32_t { throw std::bad_alloc(); }, nullptr);
  run.StartDiskScan(pc.Root(), Texts(L"IDS_SEARCHFORMUSICVIDEOSOFTWARE"));
  ASSERT_TRUE(run.WaitFor(std::chrono::seconds(60)));
  EXPECT_FALSE(run.WasStopped());
  EXPECT_TRUE(run.LostResults());
  EXPECT_EQ(log.CountContaining(L"Scan incomplete: results were lost"), 1u);
}

}  // namespace
}  // namespace tessaly
