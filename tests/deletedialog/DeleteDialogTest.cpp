// The delete dialog as a real modal dialog under Wine, over a real list view with check boxes and
// real files: what it lists, what OK deletes, the one warning, Cancel and the close box, the P2P
// uninstaller's single row. A helper thread answers the dialogs.
#include "DeleteDialog.h"
#include "DeleteDialogResources.h"
#include "DialogDriver.h"
#include "GuiTestSupport.h"
#include "MvListView.h"
#include "ScanRecords.h"
#include "TempTree.h"
#include "TextConvert.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace tessaly {
namespace {

using test::DialogDriver;

constexpr wchar_t kTitle[] = L"Delete these?";

struct ListRow {
  std::wstring name;
  std::wstring path;
};

// The rows of a list view as another thread of this process reads them.
std::vector<ListRow> RowsOf(HWND list) {
  MvListView view(L"read", list);
  std::vector<ListRow> rows;
  for (int i = 0; i < view.ItemCount(); ++i) rows.push_back({view.GetItemText(i, 0), view.GetItemText(i, 1)});
  return rows;
}

class DeleteDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(test::ShippedLanguage().languages.count, 0u) << "Tessres.dll not found";
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr, nullptr,
                             nullptr);
    ASSERT_NE(owner_, nullptr);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 500, 300, owner_,
                                nullptr, nullptr, nullptr);
    ASSERT_NE(list, nullptr);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    list_ = std::make_unique<MvListView>(L"IDC_LISTVIEW_SHAREDMEDIA", list);
    list_->InsertColumn(L"Name", 200);
    root_ = ScanFolder::MakeRoot(tree_.RootText());
    zip_ = ScanFolder::MakeChild(root_, L"music.zip", kZipArchive, true);
  }
  void TearDown() override {
    list_.reset();
    if (owner_) DestroyWindow(owner_);
  }

  std::wstring Text(const wchar_t* id) { return GetString(false, id, test::ShippedLanguage()); }

  // A row for a real file (or an archive member, which has no file of its own).
  ScanFile* AddRow(const std::wstring& name, bool checked, bool inZip = false) {
    if (!inZip) tree_.AddFile(WideToUtf8(name), "data");
    files_.push_back(std::make_unique<ScanFile>());
    ScanFile* file = files_.back().get();
    file->folder = inZip ? zip_.get() : root_.get();
    file->name = name;
    const int row = list_->AddItem(-1, name.c_str(), reinterpret_cast<LPARAM>(file));
    LVITEMW state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageW(list_->hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    return file;
  }
  bool Exists(const std::wstring& name) { return std::filesystem::exists(tree_.root() / WideToUtf8(name)); }
  std::vector<std::wstring> SourceNames() {
    std::vector<std::wstring> names;
    for (int i = 0; i < list_->ItemCount(); ++i) names.push_back(list_->GetItemText(i, 0));
    return names;
  }

  DeleteDialogRequest Request() {
    DeleteDialogRequest request;
    request.title = kTitle;
    request.bodyTop = L"top";
    request.bodyMiddleBold = L"middle";
    request.bodyBottom = L"bottom";
    request.fileList = list_.get();
    request.language = &test::ShippedLanguage();
    return request;
  }

  test::TempTree tree_;
  std::shared_ptr<ScanFolder> root_, zip_;
  std::vector<std::unique_ptr<ScanFile>> files_;
  HWND owner_ = nullptr;
  std::unique_ptr<MvListView> list_;
};

TEST_F(DeleteDialogTest, OkDeletesTheCheckedFilesAndSkipsTheZipMemberWithOneWarning) {
  tree_.AddFile("music.zip", "PK");
  AddRow(L"first.mp3", true);
  AddRow(L"track.mp3", true, true);
  AddRow(L"third.mp3", true);
  AddRow(L"kept.mp3", false);
  std::vector<ListRow> shown;
  std::wstring texts[3], warning;
  DialogDriver driver(GetCurrentThreadId(),
                      {{kTitle,
                        [&](HWND dialog) {
                          shown = RowsOf(GetDlgItem(dialog, IDC_DELETE_FILELIST));
                          const int ids[] = {IDC_DELETE_BODYTOP, IDC_DELETE_BODYMIDDLEBOLD, IDC_DELETE_BODYBOTTOM};
                          for (int i = 0; i < 3; ++i) {
                            wchar_t text[64] = {};
                            GetDlgItemTextW(dialog, ids[i], text, 64);
                            texts[i] = text;
                          }
                        },
                        IDOK},
                       {Text(L"IDS_WARNING"), [&](HWND box) { warning = test::MessageBoxText(box); }, IDOK}});
  EXPECT_EQ(RunDeleteDialog(owner_, Request()), 0);
  EXPECT_EQ(driver.Finish(), 2);

  // The dialog listed the three checked rows with their folders.
  const std::wstring folder = root_->FullPath();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].name, L"first.mp3");
  EXPECT_EQ(shown[0].path, folder);
  EXPECT_EQ(shown[1].name, L"track.mp3");
  EXPECT_EQ(shown[1].path, zip_->FullPath());
  EXPECT_EQ(shown[2].name, L"third.mp3");
  EXPECT_EQ(texts[0], L"top");
  EXPECT_EQ(texts[1], L"middle");
  EXPECT_EQ(texts[2], L"bottom");

  EXPECT_FALSE(Exists(L"first.mp3"));
  EXPECT_FALSE(Exists(L"third.mp3"));
  EXPECT_TRUE(Exists(L"music.zip"));  // the archive itself is never touched
  EXPECT_TRUE(Exists(L"kept.mp3"));
  EXPECT_EQ(SourceNames(), (std::vector<std::wstring>{L"track.mp3", L"kept.mp3"}));
  EXPECT_TRUE(list_->IsChecked(0));
  EXPECT_EQ(warning, Text(L"IDS_ONEORMOREFILESSHOULDBEDELETEDMANUALLY"));
}

TEST_F(DeleteDialogTest, CancelAndTheCloseBoxDeleteNothing) {
  AddRow(L"a.mp3", true);
  AddRow(L"b.mp3", true);
  struct {
    const char* name;
    int button;
    int result;
  } cases[] = {{"Cancel", IDCANCEL, 2}, {"close box", 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DialogDriver driver(GetCurrentThreadId(), {{kTitle, nullptr, c.button}});
    EXPECT_EQ(RunDeleteDialog(owner_, Request()), c.result);
    EXPECT_EQ(driver.Finish(), 1);
    EXPECT_TRUE(Exists(L"a.mp3"));
    EXPECT_TRUE(Exists(L"b.mp3"));
    EXPECT_EQ(SourceNames(), (std::vector<std::wstring>{L"a.mp3", L"b.mp3"}));
  }
}

TEST_F(DeleteDialogTest, AFileInUseKeepsItsRowAndIsNamedInTheWarning) {
  AddRow(L"free.mp3", true);
  AddRow(L"busy.mp3", true);
  AddRow(L"after.mp3", true);
  const std::wstring busy = root_->FullPath() + L"busy.mp3";
  // Open as a player would: sharing reads, not deletion.
  HANDLE open = CreateFileW(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  std::wstring warning;
  DialogDriver driver(GetCurrentThreadId(), {{kTitle, nullptr, IDOK},
                                             {Text(L"IDS_WARNING"), [&](HWND box) { warning = test::MessageBoxText(box); },
                                              IDOK}});
  EXPECT_EQ(RunDeleteDialog(owner_, Request()), 0);
  EXPECT_EQ(driver.Finish(), 2);
  CloseHandle(open);

  EXPECT_FALSE(Exists(L"free.mp3"));
  EXPECT_FALSE(Exists(L"after.mp3"));
  EXPECT_TRUE(Exists(L"busy.mp3"));
  EXPECT_EQ(SourceNames(), (std::vector<std::wstring>{L"busy.mp3"}));
  EXPECT_TRUE(list_->IsChecked(0));
  EXPECT_EQ(warning.rfind(Text(L"IDS_FILESCOULDNOTBEDELETED"), 0), 0u) << WideToUtf8(warning);
  EXPECT_NE(warning.find(busy), std::wstring::npos) << WideToUtf8(warning);
  EXPECT_EQ(warning.find(Text(L"IDS_ONEORMOREFILESSHOULDBEDELETEDMANUALLY")), std::wstring::npos);
}

TEST_F(DeleteDialogTest, TheUninstallerUseShowsOneRowAndDeletesNothing) {
  tree_.AddFile("client.exe", "MZ");
  ScanFile program;
  program.folder = root_.get();
  program.name = L"client.exe";
  DeleteDialogRequest request = Request();
  request.fileList = nullptr;
  request.file = &program;
  request.bodyMiddleBold.clear();
  request.bodyBottom.clear();
  std::vector<ListRow> shown;
  bool warned = false;
  DialogDriver driver(GetCurrentThreadId(),
                      {{kTitle, [&](HWND dialog) { shown = RowsOf(GetDlgItem(dialog, IDC_DELETE_FILELIST)); }, IDOK}});
  EXPECT_EQ(RunDeleteDialog(owner_, request), 0);
  EXPECT_EQ(driver.Finish(), 1);
  warned = test::FindDialogCaptioned(GetCurrentThreadId(), Text(L"IDS_WARNING")) != nullptr;
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].name, L"client.exe");
  EXPECT_EQ(shown[0].path, root_->FullPath());
  EXPECT_TRUE(Exists(L"client.exe"));
  EXPECT_FALSE(warned);

  // Cancel tells the uninstaller that the user changed their mind.
  DialogDriver cancel(GetCurrentThreadId(), {{kTitle, nullptr, IDCANCEL}});
  EXPECT_EQ(RunDeleteDialog(owner_, request), 2);
  EXPECT_EQ(cancel.Finish(), 1);
}

}  // namespace
}  // namespace tessaly
