// The deletion walk over a result list: archive members skipped, rows removed only for files that
// are gone, the walk not thrown off by removed rows, and the one warning.
#include "FileDeletion.h"
#include "Paths.h"
#include "ScanRecords.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tessaly {
namespace {

const std::wstring kD = std::wstring(L"D:") + kPathSeparator;  // the root as FullPath gives it

// A list as the delete dialog sees it: rows with a check box and maybe a record.
class Rows final : public DeletionRows {
 public:
  struct Row {
    bool checked;
    ScanFile* file;
  };
  int Count() const override { return static_cast<int>(rows.size()); }
  bool IsChecked(int row) const override { return rows.at(static_cast<size_t>(row)).checked; }
  ScanFile* FileAt(int row) const override { return rows.at(static_cast<size_t>(row)).file; }
  bool Remove(int row) override {
    rows.erase(rows.begin() + row);
    return true;
  }
  std::vector<Row> rows;
};

struct Folders {
  std::shared_ptr<ScanFolder> root = ScanFolder::MakeRoot(L"D:");
  std::shared_ptr<ScanFolder> zip = ScanFolder::MakeChild(root, L"music.zip", kZipArchive, true);
  std::shared_ptr<ScanFolder> rar = ScanFolder::MakeChild(root, L"films.rar", kRarArchive, true);
  std::vector<std::unique_ptr<ScanFile>> files;
  ScanFile* Make(ScanFolder* folder, const std::wstring& name) {
    files.push_back(std::make_unique<ScanFile>());
    files.back()->folder = folder;
    files.back()->name = name;
    return files.back().get();
  }
};

TEST(FileDeletion, ArchiveMarkersAnywhereInThePath) {
  struct {
    const wchar_t* path;
    bool member;
  } cases[] = {
      {L"D:\\music.zip::ZIP::track.mp3", true},   {L"D:\\disc.iso::ISO::a\\b.avi", true},
      {L"D:\\films.rar::RAR::film.avi", true},    {L"D:\\a.zip::ZIP::b.rar::RAR::c.mp3", true},
      {L"D:\\music.zip", false},                  {L"D:\\::ZIP:\\x.mp3", false},
      {L"D:\\zip\\ZIP.mp3", false},               {L"D:\\::zip::lower.mp3", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsArchiveMemberPath(c.path), c.member) << c.path;
}

TEST(FileDeletion, MiddleRowInAZipIsSkippedTheOthersGo) {
  Folders f;
  ScanFile* first = f.Make(f.root.get(), L"one.mp3");
  ScanFile* member = f.Make(f.zip.get(), L"track.mp3");
  ScanFile* third = f.Make(f.root.get(), L"three.mp3");
  Rows rows;
  rows.rows = {{true, first}, {true, member}, {true, third}};
  std::vector<std::wstring> deleted;
  const DeletionReport report = DeleteCheckedFiles(rows, [&](const std::wstring& path) {
    deleted.push_back(path);
    return true;
  });
  EXPECT_EQ(deleted, (std::vector<std::wstring>{kD + L"one.mp3", kD + L"three.mp3"}));  // never the archive
  ASSERT_EQ(rows.rows.size(), 1u);
  EXPECT_EQ(rows.rows[0].file, member);
  EXPECT_TRUE(rows.rows[0].checked);
  EXPECT_TRUE(report.archiveMemberSkipped);
  EXPECT_EQ(report.deleted, 2);
  EXPECT_TRUE(report.failed.empty());
}

TEST(FileDeletion, OnlyRowsWhoseFileIsGoneAreRemoved) {
  // Rows: the check-all row (no record), then files; "locked" ones cannot be deleted.
  Folders f;
  struct Case {
    const char* name;
    std::vector<std::pair<bool, const wchar_t*>> rows;  // checked, name (null: no record)
    std::set<std::wstring> locked;
    std::vector<std::wstring> remaining;
    std::vector<std::wstring> failed;
  } cases[] = {
      {"adjacent rows all go",
       {{true, nullptr}, {true, L"a.mp3"}, {true, L"b.mp3"}, {true, L"c.mp3"}},
       {},
       {L""},
       {}},
      {"unchecked rows stay",
       {{true, L"a.mp3"}, {false, L"b.mp3"}, {true, L"c.mp3"}, {false, L"d.mp3"}},
       {},
       {L"b.mp3", L"d.mp3"},
       {}},
      {"a file in use keeps its row, the next one still goes",
       {{true, L"a.mp3"}, {true, L"busy.mp3"}, {true, L"c.mp3"}},
       {kD + L"busy.mp3"},
       {L"busy.mp3"},
       {kD + L"busy.mp3"}},
      {"nothing can be deleted",
       {{true, L"a.mp3"}, {true, L"b.mp3"}},
       {kD + L"a.mp3", kD + L"b.mp3"},
       {L"a.mp3", L"b.mp3"},
       {kD + L"a.mp3", kD + L"b.mp3"}},
      {"nothing checked", {{false, L"a.mp3"}}, {}, {L"a.mp3"}, {}},
      {"empty list", {}, {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rows rows;
    for (const auto& [checked, name] : c.rows) rows.rows.push_back({checked, name ? f.Make(f.root.get(), name) : nullptr});
    std::set<std::wstring> asked;
    const DeletionReport report = DeleteCheckedFiles(rows, [&](const std::wstring& path) {
      EXPECT_TRUE(asked.insert(path).second) << "asked twice";
      return c.locked.count(path) == 0;
    });
    std::vector<std::wstring> remaining;
    for (const Rows::Row& row : rows.rows) remaining.push_back(row.file ? row.file->name : L"");
    EXPECT_EQ(remaining, c.remaining);
    EXPECT_EQ(report.failed, c.failed);
    EXPECT_FALSE(report.archiveMemberSkipped);
    EXPECT_EQ(report.deleted + static_cast<int>(c.remaining.size()), static_cast<int>(c.rows.size()));
  }
}

TEST(FileDeletion, OneWarningNamesArchiveMembersAndFailures) {
  const DeletionWarningTexts texts{L"In an archive.", L"Not deleted:"};
  DeletionReport report;
  EXPECT_EQ(DeletionWarning(report, texts), L"");
  report.archiveMemberSkipped = true;
  EXPECT_EQ(DeletionWarning(report, texts), L"In an archive.");
  report.failed = {L"D:\\a.mp3", L"D:\\b.mp3"};
  EXPECT_EQ(DeletionWarning(report, texts), L"In an archive.\r\n\r\nNot deleted:\r\n\r\nD:\\a.mp3\r\nD:\\b.mp3");
  report.archiveMemberSkipped = false;
  EXPECT_EQ(DeletionWarning(report, texts), L"Not deleted:\r\n\r\nD:\\a.mp3\r\nD:\\b.mp3");
  // A long list is cut, so the box stays on the screen.
  report.failed.clear();
  for (size_t i = 0; i < kMaxNamedFailures + 3; ++i) report.failed.push_back(L"D:\\f" + std::to_wstring(i));
  const std::wstring text = DeletionWarning(report, texts);
  EXPECT_NE(text.find(L"D:\\f" + std::to_wstring(kMaxNamedFailures - 1)), std::wstring::npos);
  EXPECT_EQ(text.find(L"D:\\f" + std::to_wstring(kMaxNamedFailures)), std::wstring::npos);
  EXPECT_EQ(text.substr(text.size() - 5), L"\r\n...");
}

}  // namespace
}  // namespace tessaly
