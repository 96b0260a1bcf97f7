#include "Paths.h"
#include "ScanRecords.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

const std::wstring S(1, kPathSeparator);

TEST(ScanRecords, FullPathJoinsNamesAndMarksArchives) {
  auto root = ScanFolder::MakeRoot(L"C:" + S);  // already ends in the separator
  auto music = ScanFolder::MakeChild(root, L"Music", kPlainFolder, true);
  auto zip = ScanFolder::MakeChild(music, L"a.zip", kZipArchive, true);
  auto rar = ScanFolder::MakeChild(music, L"b.rar", kRarArchive, true);
  auto iso = ScanFolder::MakeChild(music, L"c.iso", kIsoImage, true);
  EXPECT_EQ(root->FullPath(), L"C:" + S);
  EXPECT_EQ(music->FullPath(), L"C:" + S + L"Music" + S);
  EXPECT_EQ(zip->FullPath(), L"C:" + S + L"Music" + S + L"a.zip" + S + L"::ZIP::");
  EXPECT_EQ(rar->FullPath(), L"C:" + S + L"Music" + S + L"b.rar" + S + L"::RAR::");
  EXPECT_EQ(iso->FullPath(), L"C:" + S + L"Music" + S + L"c.iso" + S + L"::ISO::");
  EXPECT_EQ(FullPath(nullptr), L"{Failed to get full folderpath}");

  ScanFile member;
  member.name = L"song.mp3";
  member.folder = zip.get();
  EXPECT_EQ(member.FilePath(), L"C:" + S + L"Music" + S + L"a.zip" + S + L"::ZIP::song.mp3");
  ScanFile orphan;
  orphan.name = L"x";
  EXPECT_EQ(orphan.FilePath(), L"{Failed to get path}");
}

TEST(ScanRecords, ChildWithoutTreeKeepsItsParentAlive) {
  std::weak_ptr<ScanFolder> watchRoot;
  std::shared_ptr<ScanFolder> child;
  {
    auto root = ScanFolder::MakeRoot(L"R");
    watchRoot = root;
    child = ScanFolder::MakeChild(root, L"sub", kPlainFolder, false);
  }
  EXPECT_FALSE(watchRoot.expired());
  EXPECT_EQ(child->FullPath(), L"R" + S + L"sub" + S);
  child.reset();
  EXPECT_TRUE(watchRoot.expired());
}

TEST(ScanRecords, PropertiesAreCreatedOnFirstUse) {
  ScanFile file;
  EXPECT_EQ(file.properties, nullptr);
  file.Properties().Add(L"P2pBlocked", const_cast<wchar_t*>(kTrue));
  ASSERT_NE(file.properties, nullptr);
  EXPECT_EQ(file.Properties().Find(L"P2pBlocked")->value, kTrue);
}

TEST(ScanRecords, ReaderWithoutOpenFileReadsNothing) {
  ScanFile file;
  char buffer[4];
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
  EXPECT_FALSE(file.Seek(10));
}

}  // namespace
}  // namespace tessaly
