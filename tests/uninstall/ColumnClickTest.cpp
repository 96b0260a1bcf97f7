// Clicks in the block and uninstall columns of the main window's P2P list reach the block
// question and the uninstall confirmation, and what they change shows in the row.
#include "DialogDriver.h"
#include "GuiTestSupport.h"
#include "MvListView.h"
#include "ProgramWindow.h"
#include "ScanViews.h"
#include "Settings.h"
#include "UninstallTestSupport.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace tessaly {
namespace {

using test::DialogDriver;

std::wstring Text(const wchar_t* id) { return GetString(false, id, test::ShippedLanguage()); }

class ColumnClickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(test::ShippedLanguage().languages.count, 0u) << "Tessres.dll not found";
    ProgramWindowSetup setup;
    setup.language = &test::ShippedLanguage();
    setup.configuration = &test::ShippedConfiguration();
    setup.settings = &settings_;
    setup.programFolder = test::ProgramFolder();
    setup.hidden = true;
    setup.volumes = [] { return std::make_unique<test::NoDrives>(); };
    window_ = std::make_unique<ProgramWindow>(std::move(setup));
    ASSERT_TRUE(window_->Create());
    list_ = FindListView(L"IDC_LISTVIEW_P2P");
    ASSERT_NE(list_, nullptr);
  }
  void TearDown() override {
    if (window_ && IsWindow(window_->Window().hwnd)) DestroyWindow(window_->Window().hwnd);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    window_.reset();
  }

  // A click in the middle of the cell, as the list reports it to its parent.
  void Click(int row, int column) {
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageW(list_->hwnd, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell)));
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list_->hwnd;
    click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list_->hwnd));
    click.hdr.code = NM_CLICK;
    click.iItem = row;
    click.iSubItem = column;
    click.ptAction = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    SendMessageW(GetParent(list_->hwnd), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  }

  MemorySettingsStore settings_;
  std::unique_ptr<ProgramWindow> window_;
  MvListView* list_ = nullptr;
};

TEST_F(ColumnClickTest, BlockAndUninstallColumnsAskTheirQuestions) {
  const P2pSignature signature = test::TestSignature(L"Test Share", 77);
  test::P2pRecord record(L"C:\\Tessaly Click Test\\", L"clickclient.exe", &signature);
  ASSERT_EQ(list_->AddItem(-1, L"clickclient.exe", reinterpret_cast<LPARAM>(&record.file)), 0);
  Settings settings(settings_);

  {
    DialogDriver driver(GetCurrentThreadId(), {{Text(L"IDS_BLOCKSOFTWARE"), nullptr, IDCANCEL}});
    Click(0, 3);
    EXPECT_EQ(driver.Finish(), 1);
    EXPECT_FALSE(settings.BlockValue(L"clickclient.exe").has_value());
  }
  {
    DialogDriver driver(GetCurrentThreadId(),
                        {{Text(L"IDS_BLOCKSOFTWARE"), nullptr, IDOK}, {Text(L"IDS_SOFTWAREISBLOCKED"), nullptr, IDOK}});
    Click(0, 3);
    EXPECT_EQ(driver.Finish(), 2);
    EXPECT_EQ(settings.BlockValue(L"clickclient.exe"), L"Block: 77");
    EXPECT_TRUE(RecordFlag(&record.file, property::kP2pBlocked));
  }
  Click(0, 3);  // blocked: unblocks without a question
  EXPECT_FALSE(settings.BlockValue(L"clickclient.exe").has_value());
  EXPECT_FALSE(RecordFlag(&record.file, property::kP2pBlocked));

  {
    DialogDriver driver(GetCurrentThreadId(), {{Text(L"IDS_UNINSTALLFILESHARINGSOFTWARE"), nullptr, IDCANCEL}});
    Click(0, 4);
    EXPECT_EQ(driver.Finish(), 1);
  }
  // Cancelled: the row stays and its uninstall box is clear again.
  ASSERT_EQ(list_->ItemCount(), 1);
  EXPECT_EQ(reinterpret_cast<ScanFile*>(list_->GetItemData(0)), &record.file);
  EXPECT_FALSE(RecordFlag(&record.file, property::kP2pDelete));
}

}  // namespace
}  // namespace tessaly
