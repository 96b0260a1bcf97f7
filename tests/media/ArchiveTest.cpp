#include "ArchiveListing.h"
#include "ArchiveWriters.h"
#include "LogCapture.h"
#include "MvScan.h"
#include "Paths.h"
#include "RarBlockList.h"
#include "ScanEvents.h"
#include "TempTree.h"
#include "TextConvert.h"

#include <gtest/gtest.h>

#include <functional>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tessaly {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;
using test::Rar5Builder;
using test::RarBuilder;
using test::ZipBuilder;

const std::wstring S(1, kPathSeparator);
constexpr uint64_t GiB = uint64_t{1} << 30;

struct Member {
  std::wstring name;
  uint64_t size;
  bool operator==(const Member&) const = default;
};

std::vector<Member> ListRar(const std::string& bytes) {
  std::vector<Member> members;
  ReadRarBlockList(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                   [&](const RarEntry& e) { members.push_back({RarMemberName(e), e.unpackedSize}); });
  return members;
}

RarBuilder::File LargeFile(std::string name, uint64_t unpacked, std::string packed, std::optional<uint64_t> claimed = {}) {
  RarBuilder::File f;
  f.name = std::move(name);
  f.unpackedSize = unpacked;
  f.packed = std::move(packed);
  f.flags |= kRarLargeFile;
  f.claimedPacked = claimed;
  return f;
}

RarBuilder::File UnicodeFile(std::string field) {
  RarBuilder::File f;
  f.name = std::move(field);
  f.unpackedSize = 10;
  f.flags |= kRarUnicodeName;
  return f;
}

TEST(RarBlockList, ListsWhatTheBlocksHold) {
  const std::string longName(300, 'n');
  struct {
    const char* name;
    std::string bytes;
    std::vector<Member> want;
  } cases[] = {
      {"three files with data", RarBuilder().AddFile("a.mp3", 5, "12345").AddFile("dir\\b.avi", 7000, "xyz")
                                    .AddFile("c.txt", 0).End().Bytes(),
       {{L"a.mp3", 5}, {L"dir\\b.avi", 7000}, {L"c.txt", 0}}},
      {"a comment block before the files", RarBuilder().AddComment("made by me").AddFile("a.mp3", 1, "x")
                                               .AddFile("b.mp3", 2, "yy").End().Bytes(),
       {{L"a.mp3", 1}, {L"b.mp3", 2}}},
      {"a 300-byte name keeps its first 259 bytes", RarBuilder().AddFile(longName, 3).End().Bytes(),
       {{std::wstring(259, L'n'), 3}}},
      {"the newer format lists nothing", "Rar!\x1A\x07\x01\x00"s + RarBuilder().AddFile("a.mp3", 1).Bytes().substr(7), {}},
      {"fewer than 7 bytes", "Rar!\x1A\x07"s, {}},
      {"marker without a main header", "Rar!\x1A\x07\x00\x00\x00\x73"s, {}},
      {"old UniquE! marker", "UniquE!"s + RarBuilder().AddFile("old.wav", 9).Bytes().substr(7), {{L"old.wav", 9}}},
      {"a header size below 7 ends the list", RarBuilder().AddFile("a", 1).AddRaw(0x7A, 0, 3, std::string(40, 'z'))
                                                  .AddFile("b", 2).Bytes(),
       {{L"a", 1}}},
      {"a 0x77 block ends the list", RarBuilder().AddFile("a", 1).AddRaw(0x77, 0, 32, std::string(25, '\0'))
                                         .AddFile("b", 2).Bytes(),
       {{L"a", 1}}},
      {"other blocks are skipped with their data", RarBuilder().AddRaw(0x7A, 0x8000, 32, "\x05\0\0\0"s + std::string(21, 's') + "12345")
                                                       .AddFile("b", 2).Bytes(),
       {{L"b", 2}}},
      {"a large file is 64-bit and its name follows the high sizes",
       RarBuilder().AddFile(LargeFile("film.mkv", 5 * GiB, "ab")).AddFile("next.mp3", 4).Bytes(),
       {{L"film.mkv", 5 * GiB}, {L"next.mp3", 4}}},
      {"a high packed size leaves the data: the list ends after it",
       RarBuilder().AddFile(LargeFile("big", 1, "", uint64_t{1} << 32)).AddFile("lost", 1).Bytes(), {{L"big", 1}}},
      {"a packed size that would overflow ends the list at that block",
       RarBuilder().AddFile("first", 2).AddFile(LargeFile("wrap", 1, "", ~uint64_t{0} - 20)).AddFile("lost", 1).Bytes(),
       {{L"first", 2}}},
      {"a name running past the end ends the list",
       (RarBuilder().AddFile("ok", 1).Bytes() + RarBuilder().AddFile("cut-name.mp3", 1).Bytes().substr(20)).substr(0, 20 + 32 + 2 + 32 + 5),
       {{L"ok", 1}}},
      {"a plain name is cut at its zero byte", RarBuilder().AddFile("a.mp3\0garbage\x01\x02"s, 1).Bytes(), {{L"a.mp3", 1}}},
      {"a plain name in the ANSI code page", RarBuilder().AddFile("M\xFCsik.mp3", 1).Bytes(), {{L"M\u00FCsik.mp3", 1}}},
  };
  for (const auto& c : cases) EXPECT_EQ(ListRar(c.bytes), c.want) << c.name;
}

TEST(RarBlockList, MainHeaderSizeMovesTheCursor) {
  std::string bytes = RarBuilder().AddFile("a", 1).Bytes();
  bytes[7 + 5] = 13 + 4;  // a main header of 17 bytes: four extra bytes before the first block
  bytes.insert(7 + 13, "\0\0\0\0"s);
  EXPECT_EQ(ListRar(bytes), (std::vector<Member>{{L"a", 1}}));
  bytes[7 + 5] = '\xFF';
  bytes[7 + 6] = '\xFF';  // far beyond the end
  EXPECT_TRUE(ListRar(bytes).empty());
}

TEST(RarBlockList, UnicodeNamesAreDecoded) {
  struct {
    const char* name;
    std::string field;  // ANSI form, zero, Unicode form (high byte, then opcodes and operands)
    std::wstring want;
  } cases[] = {
      {"full 16-bit characters", "?x\0"s + "\x00\xA0\xAC\x20\x78\x00"s, L"\u20ACx"},
      {"a run copied from the ANSI form", "song.mp3\0"s + "\x00\xC0\x06"s, L"song.mp3"},
      {"characters on the shared high byte", "??\0"s + "\x04\x50\x10\x30"s, L"\u0410\u0430"},
      {"a shifted run", "\x10\x20\0"s + "\x04\xC0\x80\x00"s, L"\u0410\u0420"},
      {"ASCII bytes", "ab\0"s + "\x00\x00\x61\x62"s, L"ab"},
      {"no zero byte: UTF-8", "M\xC3\xBCsik.mp3"s, L"M\u00FCsik.mp3"},
      {"an empty Unicode form falls back to the ANSI form", "plain.mp3\0"s, L"plain.mp3"},
      {"a run past the Unicode form stops at the data", "ab\0"s + "\x00\xC0"s, L"ab"},
  };
  for (const auto& c : cases) {
    const std::string bytes = RarBuilder().AddFile(UnicodeFile(c.field)).Bytes();
    const auto members = ListRar(bytes);
    ASSERT_EQ(members.size(), 1u) << c.name;
    EXPECT_EQ(members[0].name, c.want) << c.name;
  }
}

// Records the file events of a scan: names, paths and sizes of members.
struct Collector {
  std::mutex mutex;
  std::vector<std::wstring> paths;
  std::vector<Member> members;
  std::vector<int32_t> folderKinds;
  std::function<void(MvScan&, ScanFile&)> onFile;
  MvScan* scan = nullptr;

  void Attach(MvScan& s) {
    scan = &s;
    s.events.AddBinaryEventProc(kNewFileFoundEvent, [](void* d, void* c) {
      auto* self = static_cast<Collector*>(c);
      auto* file = static_cast<ScanFile*>(d);
      {
        std::lock_guard g(self->mutex);
        self->paths.push_back(file->FilePath());
        self->members.push_back({file->name, file->size});
        self->folderKinds.push_back(file->folder ? file->folder->kind : -1);
      }
      if (self->onFile) self->onFile(*self->scan, *file);
      return 0;
    }, this);
  }
};

std::wstring Wide(const fs::path& p) { return p.wstring(); }

TEST(ListZipArchive, AnnouncesEveryMemberWithItsPathAndSize) {
  test::TempTree tree;
  tree.AddFile("music/a.zip", ZipBuilder().Add("dir/song.mp3", "mp3 data").Add("cover.jpg", "jpg")
                                                      .AddLarge("film.mkv", 5 * GiB).Build());
  MvScan scan;
  Collector got;
  got.Attach(scan);
  auto root = ScanFolder::MakeRoot(tree.RootText());
  auto folder = ScanFolder::MakeChild(root, L"music", kPlainFolder, false);
  EXPECT_EQ(ListZipArchive(scan, folder, tree.RootText() + S + L"music" + S + L"a.zip"), 0);

  EXPECT_EQ(got.members, (std::vector<Member>{{L"dir/song.mp3", 8}, {L"cover.jpg", 3}, {L"film.mkv", 5 * GiB}}));
  ASSERT_EQ(got.paths.size(), 3u);
  EXPECT_EQ(got.paths[0], tree.RootText() + S + L"music" + S + L"a.zip" + S + L"::ZIP::dir/song.mp3");
  EXPECT_EQ(got.folderKinds, (std::vector<int32_t>{kZipArchive, kZipArchive, kZipArchive}));
}

TEST(ListZipArchive, NamesAndBadArchives) {
  test::TempTree tree;
  const std::string longName(300, 'z');
  struct {
    const char* name;
    std::string file;      // relative path
    std::optional<std::string> bytes;  // nullopt: the file does not exist
    std::vector<Member> want;
  } cases[] = {
      {"UTF-8 flagged name", "utf8.zip", ZipBuilder().Add("M\xC3\xBCsik/\xE2\x82\xAC.mp3", "x", 1 << 11).Build(),
       {{L"M\u00FCsik/\u20AC.mp3", 1}}},
      {"unflagged name in the ANSI code page", "ansi.zip", ZipBuilder().Add("M\xFCsik.mp3", "x").Build(),
       {{L"M\u00FCsik.mp3", 1}}},
      {"unflagged name that is well-formed UTF-8", "linux.zip", ZipBuilder().Add("Ma\xC3\xB1" "ana/\xE2\x82\xAC.mp3", "x").Build(),
       {{L"Ma\u00F1ana/\u20AC.mp3", 1}}},
      {"unflagged UTF-8 name cut inside a character", "cut8.zip",
       ZipBuilder().Add(std::string(253, 'a') + "\xC3\xB1\xE2\x82\xAC", "x").Build(), {{std::wstring(253, L'a') + L"\u00F1", 1}}},
      {"a 300-byte name is cut to 255", "long.zip", ZipBuilder().Add(longName, "x").Build(), {{std::wstring(255, L'z'), 1}}},
      {"a UTF-8 name cut inside a character loses that character", "cut.zip",
       ZipBuilder().Add(std::string(254, 'a') + "\xE2\x82\xAC", "x", 1 << 11).Build(), {{std::wstring(254, L'a'), 1}}},
      {"empty archive", "empty.zip", ZipBuilder().Build(), {}},
      {"zero-byte file", "zero.zip", ""s, {}},
      {"PK header and garbage", "broken.zip", "PK\x03\x04"s + std::string(200, '\x7F'), {}},
      {"vanished file", "gone.zip", std::nullopt, {}},
  };
  for (const auto& c : cases) {
    const fs::path path = c.bytes ? tree.AddFile(c.file, *c.bytes) : tree.root() / c.file;
    test::LogCapture log;
    MvScan scan;
    Collector got;
    got.Attach(scan);
    ListZipArchive(scan, ScanFolder::MakeRoot(tree.RootText()), Wide(path));
    EXPECT_EQ(got.members, c.want) << c.name;
    EXPECT_EQ(log.CountContaining(L"(ERROR"), 0u) << c.name << ": the ZIP listing reports nothing";
  }
}

TEST(ListZipArchive, OpensPathsOutsideTheAnsiCodePage) {
  test::TempTree tree;
  const fs::path folder = tree.root() / fs::path(u8"\u03A9\u043C\u20AC\u4E2D");
  fs::create_directories(folder);
  {
    const std::string bytes = ZipBuilder().Add("song.mp3", "abc").Build();
    std::ofstream(folder / "a.zip", std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  const std::wstring folderText = tree.RootText() + S + L"\u03A9\u043C\u20AC\u4E2D";
  MvScan scan;
  Collector got;
  got.Attach(scan);
  ListZipArchive(scan, ScanFolder::MakeRoot(folderText), folderText + S + L"a.zip");
  EXPECT_EQ(got.members, (std::vector<Member>{{L"song.mp3", 3}}));
}

TEST(ScanRarFile, AnnouncesMembersUnderTheRarMarker) {
  test::TempTree tree;
  const fs::path rar = tree.AddFile("x.rar", RarBuilder().AddComment("hi").AddFile("a.mp3", 4000000, "data").End().Bytes());
  MvScan scan;
  Collector got;
  got.Attach(scan);
  EXPECT_EQ(MvScan::ScanRarFile(Wide(rar), scan, ScanFolder::MakeRoot(tree.RootText())), 0);
  EXPECT_EQ(got.members, (std::vector<Member>{{L"a.mp3", 4000000}}));
  ASSERT_EQ(got.paths.size(), 1u);
  EXPECT_EQ(got.paths[0], tree.RootText() + S + L"x.rar" + S + L"::RAR::a.mp3");
  EXPECT_EQ(got.folderKinds, (std::vector<int32_t>{kRarArchive}));
}

TEST(ScanRarFile, ReportsFilesItCannotMap) {
  test::TempTree tree;
  const std::wstring missing = Wide(tree.root() / "missing.rar");
  const std::wstring empty = Wide(tree.AddFile("empty.rar", ""));
  const std::wstring newer = Wide(tree.AddFile("new.rar", "Rar!\x1A\x07\x01\x00" + std::string(100, 'x')));
  test::LogCapture log;
  MvScan scan;
  Collector got;
  got.Attach(scan);
  auto root = ScanFolder::MakeRoot(tree.RootText());
  MvScan::ScanRarFile(missing, scan, root);
  MvScan::ScanRarFile(empty, scan, root);
  MvScan::ScanRarFile(newer, scan, root);
  EXPECT_TRUE(got.members.empty());
  EXPECT_EQ(log.CountContaining(L") MvScan::ScanRarFile() Failed to open Rar File: " + missing + L"\r\n"), 1u);
  EXPECT_EQ(log.CountContaining(L") MvScan::ScanRarFile() Failed to create filemapping on Rar File: " + empty + L"(0bytes)\r\n"), 1u);
  EXPECT_EQ(log.CountContaining(L"(ERROR"), 2u);  // the newer format is silently not listed
}

// ---- RAR 5.0 ------------------------------------------------------------------------------

Rar5Builder::File Rar5File(std::string name, uint64_t size) {
  Rar5Builder::File f;
  f.name = std::move(name);
  f.unpackedSize = size;
  return f;
}

// The archive with one byte changed at `offset` from its end.
std::string Flipped(std::string bytes, size_t fromEnd) {
  bytes[bytes.size() - fromEnd] ^= 0x01;
  return bytes;
}

TEST(Rar5HeaderList, ListsTheFileHeaders) {
  auto folder = Rar5File("music", 0);
  folder.directory = true;
  auto unknown = Rar5File("stream.ogg", 12345);
  unknown.sizeUnknown = true;
  auto huge = Rar5File("film.mkv", 5 * GiB);
  huge.data = "ab";
  auto leaving = Rar5File("cut.mp3", 9);
  leaving.claimedData = uint64_t{1} << 40;
  auto wrapping = Rar5File("wrap.mp3", 9);
  wrapping.claimedData = ~uint64_t{0} - 4;
  const std::string two = Rar5Builder().AddFile("a.mp3", 5, "12345").AddFile("b.avi", 7).End().Bytes();
  struct {
    const char* name;
    std::string bytes;
    std::vector<Member> want;
  } cases[] = {
      {"files with data, in order", Rar5Builder().AddFile("a.mp3", 5, "12345").AddFile("dir/b.avi", 7000, "xyz").End().Bytes(),
       {{L"a.mp3", 5}, {L"dir/b.avi", 7000}}},
      {"names are UTF-8", Rar5Builder().AddFile("Ma\xC3\xB1" "ana/\xE2\x82\xAC.mp3", 1).End().Bytes(),
       {{L"Ma\u00F1ana/\u20AC.mp3", 1}}},
      {"folders are left out", Rar5Builder().AddFile(folder).AddFile("music/a.mp3", 2).End().Bytes(), {{L"music/a.mp3", 2}}},
      {"service headers are skipped with their data", Rar5Builder().AddService("CMT", "a comment").AddFile("a.mp3", 3).AddService("QO", "").End().Bytes(),
       {{L"a.mp3", 3}}},
      {"64-bit sizes", Rar5Builder().AddFile(huge).AddFile("next.mp3", 4).Bytes(), {{L"film.mkv", 5 * GiB}, {L"next.mp3", 4}}},
      {"an unknown size is 0", Rar5Builder().AddFile(unknown).Bytes(), {{L"stream.ogg", 0}}},
      {"the end header ends the list", Rar5Builder().AddFile("a.mp3", 1).End().AddFile("after.mp3", 1).Bytes(), {{L"a.mp3", 1}}},
      {"an encryption header ends the list", Rar5Builder().AddEncryptionHeader().AddFile("hidden.mp3", 1).Bytes(), {}},
      {"a header CRC that does not match ends the list", Flipped(two, 12), {{L"a.mp3", 5}}},
      {"data that leave the file end the list after the entry", Rar5Builder().AddFile(leaving).AddFile("lost.mp3", 1).Bytes(),
       {{L"cut.mp3", 9}}},
      {"a data size that wraps around ends the list", Rar5Builder().AddFile("first.mp3", 1).AddFile(wrapping).AddFile("lost.mp3", 1).Bytes(),
       {{L"first.mp3", 1}}},
      {"cut inside a header", two.substr(0, two.size() - 10), {{L"a.mp3", 5}}},
      {"the signature alone", std::string(Rar5Builder::kSignature, 8), {}},
      {"a header size above 2 MiB", std::string(Rar5Builder::kSignature, 8) + "\0\0\0\0\x80\x80\x81\x01"s + std::string(64, 'x'), {}},
      {"a size vint that never ends", std::string(Rar5Builder::kSignature, 8) + "\0\0\0\0"s + std::string(12, '\xFF'), {}},
      {"RAR 4 blocks behind the RAR 5 signature", "Rar!\x1A\x07\x01\x00"s + RarBuilder().AddFile("a.mp3", 1).Bytes().substr(7), {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ListRar(c.bytes), c.want) << c.name;
}

// The fields that only a file header's own records carry.
TEST(Rar5HeaderList, TimeFromTheHeaderOrItsFileTimeRecord) {
  auto inHeader = Rar5File("a.mp3", 1);
  inHeader.unixTime = 1700000000;
  auto inRecord = Rar5File("b.mp3", 1);
  inRecord.extraFileTime = 116444736000000000ull + 1600000000ull * 10000000ull;
  const std::string bytes = Rar5Builder().AddFile(inHeader).AddFile(inRecord).AddFile("c.mp3", 1).Bytes();
  std::vector<uint32_t> times;
  ReadRarBlockList(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                   [&](const RarEntry& e) { times.push_back(e.fileTime); });
  EXPECT_EQ(times, (std::vector<uint32_t>{1700000000u, 1600000000u, 0u}));
}

TEST(ScanRarFile, ListsRar5ArchivesFromDisk) {
  test::TempTree tree;
  // A header larger than the reader's window is read whole.
  const std::string longName = std::string(9000, 'n') + ".mp3";
  const fs::path rar = tree.AddFile("x.rar", Rar5Builder().AddService("CMT", "hi").AddFile("a.mp3", 4000000, "data")
                                                 .AddFile(longName, 6).End().Bytes());
  MvScan scan;
  Collector got;
  got.Attach(scan);
  EXPECT_EQ(MvScan::ScanRarFile(Wide(rar), scan, ScanFolder::MakeRoot(tree.RootText())), 0);
  EXPECT_EQ(got.members, (std::vector<Member>{{L"a.mp3", 4000000}, {std::wstring(longName.begin(), longName.end()), 6}}));
  ASSERT_EQ(got.paths.size(), 2u);
  EXPECT_EQ(got.paths[0], tree.RootText() + S + L"x.rar" + S + L"::RAR::a.mp3");
  EXPECT_EQ(got.folderKinds, (std::vector<int32_t>{kRarArchive, kRarArchive}));
}

// Names stored without their encoding flag: UTF-8 where it is well-formed and not ASCII.
TEST(RarBlockList, UnflaggedUtf8NamesAreDecoded) {
  EXPECT_EQ(ListRar(RarBuilder().AddFile("Ma\xC3\xB1" "ana.mp3", 1).Bytes()), (std::vector<Member>{{L"Ma\u00F1ana.mp3", 1}}));
  EXPECT_EQ(ListRar(RarBuilder().AddFile("M\xFCsik.mp3", 1).Bytes()), (std::vector<Member>{{L"M\u00FCsik.mp3", 1}}));
}

// A whole scan with the file handler the scan run uses: classify, and list what is an archive.
class ScanWithArchives : public ::testing::TestWithParam<bool> {};

TEST_P(ScanWithArchives, MembersComeBackThroughTheSameHandler) {
  test::TempTree tree;
  tree.AddFile("a/songs.zip", ZipBuilder().Add("one.mp3", std::string(2000, 'x')).Add("inner.zip", "PK").Build());
  tree.AddFile("a/b/songs.rar", RarBuilder().AddFile("two.mp3", 3000, "x").End().Bytes());
  tree.AddFile("a/empty.zip", ZipBuilder().Build());
  tree.AddFile("a/zero.zip", "");
  tree.AddFile("a/broken.zip", "PK\x05\x06 and nothing that minizip accepts");
  tree.AddFile("a/broken.rar", "Rar!\x1A\x07\x00\x00\x00\x73\xFF\xFF");
  tree.AddFile("plain.txt", "text");

  MediaSettings settings;
  settings.soundExtensions = ParseExtensionList(L".mp3");
  settings.maxSoundSize = 1;  // music: 1 byte to 1 MiB; every non-empty file is examined

  MvScan scan;
  scan.keepTree = GetParam();
  Collector got;
  std::vector<std::wstring> music;
  got.onFile = [&](MvScan& s, ScanFile& file) {
    const Classification c = ClassifyFile(file.name, file.size, settings, {}, [&](uint8_t* buffer, size_t capacity) {
      return file.OpenReader() ? file.Read(buffer, capacity) : size_t{0};
    });
    if (c.category == MediaCategory::Music) music.push_back(file.FilePath());
    ListArchive(s, file, c.archive);
  };
  got.Attach(scan);
  scan.AddRootFolder(ScanFolder::MakeRoot(tree.RootText()));
  scan.Start();
  scan.Join();

  const std::wstring a = tree.RootText() + S + L"a" + S;
  std::sort(music.begin(), music.end());
  EXPECT_EQ(music, (std::vector<std::wstring>{a + L"b" + S + L"songs.rar" + S + L"::RAR::two.mp3",
                                              a + L"songs.zip" + S + L"::ZIP::one.mp3"}));
  // Seven files on disk, three members; the member inner.zip is not opened (its path is no file).
  EXPECT_EQ(got.members.size(), 10u);
  EXPECT_EQ(scan.filesFound, 7u);
  EXPECT_EQ(std::count(got.paths.begin(), got.paths.end(), a + L"songs.zip" + S + L"::ZIP::inner.zip"), 1);
}

INSTANTIATE_TEST_SUITE_P(KeepTree, ScanWithArchives, ::testing::Bool());

// Without a tree the walk and both listings hand the same record from file to file while nobody
// keeps it: each one must arrive clean, and a kept one must stay what it was.
TEST(ScanWithArchives, RecordsPassedOnArriveCleanAndKeptOnesStayIntact) {
  test::TempTree tree;
  tree.AddFile("d/first.txt", "1");
  tree.AddFile("d/keep.mp3", "22");
  tree.AddFile("d/last.txt", "333");
  tree.AddFile("d/m.zip", ZipBuilder().Add("a.txt", "x").Add("keep.mp3", "yy").Add("b.txt", "zzz").Build());
  tree.AddFile("d/m.rar", RarBuilder().AddFile("a.txt", 7, "x").AddFile("keep.mp3", 8, "y").AddFile("b.txt", 9, "z")
                              .End().Bytes());
  MvScan scan;
  scan.keepTree = false;
  Collector got;
  std::vector<std::unique_ptr<ScanFile>> kept;
  std::vector<std::wstring> dirty;
  got.onFile = [&](MvScan& s, ScanFile& file) {
    if (file.properties || file.reader.IsOpen() || file.kept) dirty.push_back(file.name);
    file.Properties().Add(L"Seen", NumberValue(file.size));
    file.OpenReader();  // leaves a handle behind for the dispatcher to close
    if (file.name == L"keep.mp3") kept.push_back(file.Keep());
    const auto kind = file.name == L"m.zip" ? ArchiveKind::Zip : file.name == L"m.rar" ? ArchiveKind::Rar : ArchiveKind::None;
    ListArchive(s, file, kind);
  };
  got.Attach(scan);
  scan.AddRootFolder(ScanFolder::MakeRoot(tree.RootText()));
  scan.Start();
  scan.Join();

  EXPECT_TRUE(dirty.empty()) << WideToUtf8(dirty.empty() ? L"" : dirty.front());
  EXPECT_EQ(got.members.size(), 11u);
  const std::wstring d = tree.RootText() + S + L"d" + S;
  std::vector<std::pair<std::wstring, uint64_t>> keptFiles;
  for (auto& file : kept) {
    ASSERT_NE(file, nullptr);
    ASSERT_NE(file->properties->Find(L"Seen"), nullptr);
    EXPECT_EQ(ValueNumber(file->properties->Find(L"Seen")->value), file->size);
    EXPECT_EQ(file->properties->count, 1u);
    keptFiles.emplace_back(file->FilePath(), file->size);
  }
  std::sort(keptFiles.begin(), keptFiles.end());
  EXPECT_EQ(keptFiles, (std::vector<std::pair<std::wstring, uint64_t>>{
                           {d + L"keep.mp3", 2}, {d + L"m.rar" + S + L"::RAR::keep.mp3", 8}, {d + L"m.zip" + S + L"::ZIP::keep.mp3", 2}}));
}

// Cuts a file that is open elsewhere (for reading, shared for writing) to `size` bytes.
bool Truncate(const fs::path& path, uint64_t size) {
#ifdef _WIN32
  HANDLE file = CreateFileW(path.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(size);
  const bool done = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return done;
#else
  std::error_code error;
  fs::resize_file(path, size, error);
  return !error;
#endif
}

// An archive that shrinks while it is listed (truncated; on a share or disk that went away)
// ends its list where the data end, like any truncated archive.
TEST(ScanRarFile, ArchiveTruncatedWhileListedEndsItsList) {
  test::TempTree tree;
  RarBuilder builder;
  constexpr int kMembers = 3000;  // well past the first pages of the file
  for (int i = 0; i < kMembers; ++i) builder.AddFile("member " + std::to_string(i) + ".mp3", 100, "data");
  const fs::path rar = tree.AddFile("x.rar", builder.End().Bytes());
  MvScan scan;
  Collector got;
  bool truncated = false;
  got.onFile = [&](MvScan&, ScanFile&) {
    if (got.members.size() != 3) return;
    truncated = Truncate(rar, 100);
  };
  got.Attach(scan);
  MvScan::ScanRarFile(Wide(rar), scan, ScanFolder::MakeRoot(tree.RootText()));
  ASSERT_TRUE(truncated);
  EXPECT_GE(got.members.size(), 3u);
  EXPECT_LT(got.members.size(), static_cast<size_t>(kMembers));
}

// A stop request ends a long listing at the next member.
TEST(ArchiveListing, StopEndsTheListingAtTheNextMember) {
  test::TempTree tree;
  RarBuilder rar;
  ZipBuilder zip;
  for (int i = 0; i < 500; ++i) {
    rar.AddFile("r" + std::to_string(i) + ".mp3", 10);
    zip.Add("z" + std::to_string(i) + ".mp3", "x");
  }
  const fs::path rarPath = tree.AddFile("a.rar", rar.End().Bytes());
  const fs::path zipPath = tree.AddFile("a.zip", zip.Build());
  struct Case {
    const char* name;
    std::function<void(MvScan&, const std::shared_ptr<ScanFolder>&)> list;
  } cases[] = {
      {"RAR", [&](MvScan& scan, const std::shared_ptr<ScanFolder>& root) { MvScan::ScanRarFile(Wide(rarPath), scan, root); }},
      {"ZIP", [&](MvScan& scan, const std::shared_ptr<ScanFolder>& root) { ListZipArchive(scan, root, Wide(zipPath)); }},
  };
  for (const Case& c : cases) {
    MvScan scan;
    Collector got;
    got.onFile = [&](MvScan& s, ScanFile&) {
      if (got.members.size() == 10) s.Stop();
    };
    got.Attach(scan);
    c.list(scan, ScanFolder::MakeRoot(tree.RootText()));
    EXPECT_EQ(got.members.size(), 10u) << c.name;
  }
}

}  // namespace
}  // namespace tessaly
