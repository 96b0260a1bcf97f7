#include "FileBytes.h"
#include "Paths.h"
#include "ScanLog.h"
#include "ScanRecords.h"
#include "TempTree.h"
#include "TextConvert.h"
#include "Utf16Text.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tessaly {
namespace {

const std::wstring S(1, kPathSeparator);
const std::wstring kRule(65, L'=');

// Results as the scan run keeps them on the main window's properties.
struct Results {
  MvLinkedList properties;
  MvLinkedList music, video, images, p2p;
  std::shared_ptr<ScanFolder> root = ScanFolder::MakeRoot(L"C:" + S);
  std::shared_ptr<ScanFolder> shared = ScanFolder::MakeChild(root, L"Shared", kPlainFolder, true);
  std::shared_ptr<ScanFolder> zip = ScanFolder::MakeChild(shared, L"hits.zip", kZipArchive, true);
  std::vector<std::unique_ptr<ScanFile>> files;

  ScanFile* Make(ScanFolder* folder, const std::wstring& name) {
    files.push_back(std::make_unique<ScanFile>());
    files.back()->folder = folder;
    files.back()->name = name;
    return files.back().get();
  }
  void Publish(bool withLists = true) {
    if (withLists) {
      properties.Add(L"ScanMusicFileList", &music);
      properties.Add(L"ScanVideoFileList", &video);
      properties.Add(L"ScanImageFileList", &images);
      properties.Add(L"ScanP2pFileList", &p2p);
    }
    properties.Add(L"ScanMusicFilesFound", NumberValue(music.count));
    properties.Add(L"ScanVideoFilesFound", NumberValue(video.count));
    properties.Add(L"ScanImageFilesFound", NumberValue(images.count));
    properties.Add(L"ScanP2pFilesFound", NumberValue(p2p.count));
  }
};

const ScanLogTexts kTexts{L"Music files", L"Video files", L"P2P Applications"};

TEST(ScanLog, TextHasTheFrameCountsAndFullPaths) {
  Results r;
  r.music.Add(nullptr, r.Make(r.shared.get(), L"song.mp3"));
  r.music.Add(nullptr, nullptr);  // a node without a record is skipped
  r.music.Add(nullptr, r.Make(r.zip.get(), L"inside.mp3"));
  r.video.Add(nullptr, r.Make(r.root.get(), L"film.avi"));
  r.images.Add(nullptr, r.Make(r.root.get(), L"photo.jpg"));
  r.p2p.Add(nullptr, r.Make(r.root.get(), L"client.exe"));
  r.Publish();
  SystemTime t;
  t.year = 2009; t.month = 3; t.day = 5; t.hour = 7; t.minute = 4;

  const std::wstring want =
      L"=================== Scan log ====================================\r\n"
      L"03/05/2009  07:04\r\n" + kRule + L"\r\n" L"\r\n" L"\r\n" + kRule + L"\r\n"
      L"Music files: 3, Video files: 1\r\n" + kRule + L"\r\n" L"\r\n"
      L"C:" + S + L"Shared" + S + L"song.mp3\r\n"
      L"C:" + S + L"Shared" + S + L"hits.zip" + S + L"::ZIP::inside.mp3\r\n"
      L"C:" + S + L"film.avi\r\n"
      L"\r\n" + kRule + L"\r\n"
      L"P2P Applications: 1 \r\n" + kRule + L"\r\n" L"\r\n"
      L"C:" + S + L"client.exe\r\n"
      L"\r\n\r\n"
      L"=================== End log ====================================\r\n";
  EXPECT_EQ(FormatScanLog(r.properties, kTexts, t), want);
}

TEST(ScanLog, MissingCountsAndListsCountAsNothing) {
  MvLinkedList empty;
  SystemTime t;
  t.year = 2026; t.month = 12; t.day = 31; t.hour = 23; t.minute = 59;
  const std::wstring text = FormatScanLog(empty, kTexts, t);
  EXPECT_NE(text.find(L"12/31/2026  23:59\r\n"), std::wstring::npos);
  EXPECT_NE(text.find(L"Music files: 0, Video files: 0\r\n"), std::wstring::npos);
  EXPECT_NE(text.find(L"P2P Applications: 0 \r\n"), std::wstring::npos);
}

TEST(ScanLog, FileIsUtf16LeWithoutByteOrderMark) {
  test::TempTree tree;
  Results r;
  r.music.Add(nullptr, r.Make(r.shared.get(), L"B\x00F8rn \x65E5.mp3"));
  r.Publish();
  const std::wstring path = tree.RootText() + S + L"log.txt";
  ASSERT_TRUE(WriteScanLog(path, r.properties, kTexts));
  auto bytes = ReadWholeFile(path);
  ASSERT_TRUE(bytes.has_value());
  ASSERT_GE(bytes->size(), 4u);
  EXPECT_EQ(bytes->substr(0, 4), std::string("=\0=\0", 4));  // no byte-order mark
  EXPECT_EQ(bytes->size() % 2, 0u);
  const std::wstring text = Utf16LeBytesToWide(*bytes);
  EXPECT_NE(text.find(L"B\x00F8rn \x65E5.mp3\r\n"), std::wstring::npos);
  EXPECT_EQ(text.substr(text.size() - 2), L"\r\n");
}

TEST(ScanLog, UnwritablePathFails) {
  MvLinkedList empty;
  EXPECT_FALSE(WriteScanLog(S + L"no-such-folder-tessaly" + S + L"x" + S + L"log.txt", empty, kTexts));
}

TEST(ScanLog, SaveNameRule) {
  struct Case {
    const wchar_t* chosen;
    const wchar_t* want;
  } cases[] = {
      {L"results", L"results.txt"},
      {L"results.TXT", L"results.TXT"},    // any case counts
      {L"log.txt", L"log.txt"},
      {L"a.tx", L"a.tx"},                  // 4 characters: used as typed
      {L"abcd", L"abcd"},
      {L"abcde", L"abcde.txt"},            // 5 characters: extended
      {L"notes.log", L"notes.log.txt"},
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(ScanLogFileName(c.chosen), c.want) << WideToUtf8(c.chosen);
  EXPECT_EQ(ScanLogFileName(std::wstring(1039, L'x')).size(), 1039u);  // stays inside the buffer
}

}  // namespace
}  // namespace tessaly
