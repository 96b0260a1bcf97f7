// The whole uninstall flow as the user meets it: the confirmation, the progress dialog, the retry
// question and the success message, answered from a helper thread; what is run and which rows go.
#include "DialogDriver.h"
#include "GuiTestSupport.h"
#include "MvListView.h"
#include "P2pUninstall.h"
#include "SharedFolderMappings.h"
#include "UninstallTestSupport.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tessaly {
namespace {

using test::DialogDriver;
using test::InstalledProgram;

std::wstring Text(const wchar_t* id) { return GetString(false, id, test::ShippedLanguage()); }

// Answers the captionless success boxes and counts them. A message box is found by its text: for
// a moment after it appears it has neither caption nor text, so a caption alone would also match
// a box that is not filled in yet.
class SuccessBoxWatch {
 public:
  explicit SuccessBoxWatch(DWORD thread)
      : thread_([this, thread] {
          std::vector<HWND> answered;
          while (!stop_) {
            HWND box = test::FindDialogCaptioned(thread, L"", answered);
            if (box && test::MessageBoxText(box) == success_) {
              PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
              answered.push_back(box);
              ++count_;
            }
            Sleep(10);
          }
        }) {}
  ~SuccessBoxWatch() { Finish(); }
  // Stops watching; how many success boxes were answered.
  int Finish() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return count_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> count_{0};
  const std::wstring success_ = Text(L"IDS_FILESHARINGHASBEENSUCCESFULLYUNINSTALLED");
  std::thread thread_;
};

class UninstallFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(test::ShippedLanguage().languages.count, 0u) << "Tessres.dll not found";
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr, nullptr,
                             nullptr);
    ASSERT_NE(owner_, nullptr);
    for (const wchar_t* name : {L"IDC_LISTVIEW_SHAREDMEDIA", L"IDC_LISTVIEW_SHAREDIMAGES", L"IDC_LISTVIEW_SHAREDOTHERFILES"}) {
      HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 500, 300, owner_, nullptr,
                                  nullptr, nullptr);
      ASSERT_NE(list, nullptr);
      lists_.push_back(std::make_unique<MvListView>(name, list));
      lists_.back()->InsertColumn(L"Name", 200);
    }
  }
  void TearDown() override {
    lists_.clear();
    if (owner_) DestroyWindow(owner_);
  }

  // A media row in list `which`, belonging to `program` (or to none).
  void AddMediaRow(size_t which, const wchar_t* name, ScanFile* program) {
    media_.push_back(std::make_unique<ScanFile>());
    ScanFile* file = media_.back().get();
    file->name = name;
    if (program) SetProperty(file->Properties(), property::kBelongingP2pProgramFile, program);
    lists_[which]->AddItem(-1, name, reinterpret_cast<LPARAM>(file));
  }
  std::vector<std::wstring> RowsOf(size_t which) const {
    std::vector<std::wstring> rows;
    for (int i = 0; i < lists_[which]->ItemCount(); ++i) rows.push_back(lists_[which]->GetItemText(i, 0));
    return rows;
  }

  bool Run(ScanFile& file, const std::wstring& mappingText) {
    SharedFolderMappings mappings(L"", mappingText);
    P2pUninstallSetup setup;
    setup.language = &test::ShippedLanguage();
    setup.mappings = &mappings;
    setup.settings = &SystemSettingsStore();
    setup.programFolder = ModuleFolder();
    for (auto& list : lists_) setup.sharedLists.push_back(list.get());
    setup.settleMs = 50;
    return RunP2PUninstall(owner_, file, setup);
  }

  HWND owner_ = nullptr;
  std::vector<std::unique_ptr<MvListView>> lists_;
  std::vector<std::unique_ptr<ScanFile>> media_;
};

TEST_F(UninstallFlowTest, CancelInTheConfirmationRunsNothing) {
  InstalledProgram program(test::Beside(L"flow-cancel\\"));
  program.AddUninstaller(L"uninst.exe");
  const P2pSignature signature = test::TestSignature(L"Test Share");
  test::P2pRecord record(program.Folder(), L"client.exe", &signature);
  AddMediaRow(0, L"song.mp3", &record.file);

  std::wstring listed;
  DialogDriver driver(GetCurrentThreadId(), {{Text(L"IDS_UNINSTALLFILESHARINGSOFTWARE"),
                                              [&listed](HWND dialog) {
                                                MvListView list(L"read", GetDlgItem(dialog, 1032));
                                                listed = list.GetItemText(0, 0);
                                              },
                                              IDCANCEL}});
  EXPECT_FALSE(Run(record.file, L"Test Share=uninst.exe"));
  EXPECT_EQ(driver.Finish(), 1);
  EXPECT_EQ(listed, L"client.exe");
  EXPECT_TRUE(program.Runs().empty());
  EXPECT_TRUE(program.ClientExists());
  EXPECT_EQ(RowsOf(0), std::vector<std::wstring>{L"song.mp3"});
}

TEST_F(UninstallFlowTest, SuccessRemovesOnlyTheProgramsSharedRows) {
  InstalledProgram program(test::Beside(L"flow-success\\"));
  program.AddUninstaller(L"uninst.exe");
  const P2pSignature signature = test::TestSignature(L"Test Share");
  test::P2pRecord record(program.Folder(), L"client.exe", &signature);
  test::P2pRecord other(program.Folder(), L"other.exe", &signature);
  AddMediaRow(0, L"a.mp3", &record.file);
  AddMediaRow(0, L"b.mp3", &record.file);
  AddMediaRow(0, L"c.mp3", &other.file);
  AddMediaRow(0, L"d.mp3", &record.file);
  AddMediaRow(1, L"e.jpg", nullptr);
  AddMediaRow(1, L"f.jpg", &record.file);
  AddMediaRow(2, L"g.doc", &record.file);

  std::wstring pleaseWait;
  DialogDriver driver(
      GetCurrentThreadId(),
      {{Text(L"IDS_UNINSTALLFILESHARINGSOFTWARE"), nullptr, IDOK},
       // The progress dialog shows its text and does not give in to a close request.
       {Text(L"IDS_UNINSTALLINGFILESHARINGSOFTWARE"),
        [&pleaseWait](HWND dialog) {
          wchar_t text[256] = {};
          GetDlgItemTextW(dialog, 1034, text, 256);
          pleaseWait = text;
        },
        0}});
  SuccessBoxWatch watch(GetCurrentThreadId());
  // The mapping's name is matched without regard to case.
  EXPECT_TRUE(Run(record.file, L"  TEST SHARE=uninst.exe\r\nOther=x.exe"));
  EXPECT_EQ(driver.Finish(), 2);
  EXPECT_EQ(watch.Finish(), 1);
  EXPECT_EQ(pleaseWait, Text(L"IDS_PLEASEWAITWHILETHEP2PISBEINGUNINSTALLED"));
  EXPECT_FALSE(program.ClientExists());
  EXPECT_EQ(program.Runs().size(), 1u);
  EXPECT_EQ(RowsOf(0), std::vector<std::wstring>{L"c.mp3"});
  EXPECT_EQ(RowsOf(1), std::vector<std::wstring>{L"e.jpg"});
  EXPECT_TRUE(RowsOf(2).empty());
}

TEST_F(UninstallFlowTest, ProgramStillThereAsksOnceToTryAgain) {
  struct {
    const char* name;
    const wchar_t* mapping;
    int answer;
    size_t runs;  // starts of the uninstaller
  } cases[] = {
      {"kept, tried again", L"Test Share=uninst.exe", IDYES, 2},
      {"kept, not again", L"Test Share=uninst.exe", IDNO, 1},
      {"no mapping for the program", L"Another=uninst.exe", IDYES, 0},
      {"mapped file missing", L"Test Share=missing.exe", IDYES, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InstalledProgram program(test::Beside(L"flow-retry\\"));
    program.AddUninstaller(L"uninst.exe");
    program.AddFlag(L"keep.flag");
    const P2pSignature signature = test::TestSignature(L"Test Share");
    test::P2pRecord record(program.Folder(), L"client.exe", &signature);
    AddMediaRow(0, L"a.mp3", &record.file);

    std::wstring question;
    std::vector<DialogDriver::Step> steps = {
        {Text(L"IDS_UNINSTALLFILESHARINGSOFTWARE"), nullptr, IDOK},
        {Text(L"IDS_WARNING"), [&question](HWND box) { question = test::MessageBoxText(box); }, c.answer},
    };
    DialogDriver driver(GetCurrentThreadId(), steps);
    SuccessBoxWatch watch(GetCurrentThreadId());
    EXPECT_FALSE(Run(record.file, c.mapping));
    EXPECT_EQ(driver.Finish(), 2);
    EXPECT_EQ(watch.Finish(), 0) << "a success message came";
    EXPECT_EQ(question, Text(L"IDS_FILESHARINGHASNOTBEENCOMPLETELYUNINSTALLED"));
    EXPECT_EQ(program.Runs().size(), c.runs);
    EXPECT_TRUE(program.ClientExists());
    EXPECT_EQ(RowsOf(0), std::vector<std::wstring>{L"a.mp3"});
    SendMessageW(lists_[0]->hwnd, LVM_DELETEALLITEMS, 0, 0);
  }
}

TEST_F(UninstallFlowTest, ProgramsOfTheWizardRunOneAfterTheOther) {
  InstalledProgram first(test::Beside(L"flow-first\\"));
  InstalledProgram second(test::Beside(L"flow-second\\"));
  first.AddUninstaller(L"uninst.exe");
  second.AddUninstaller(L"uninst.exe");
  const P2pSignature signature = test::TestSignature(L"Test Share");
  test::P2pRecord one(first.Folder(), L"client.exe", &signature);
  test::P2pRecord two(second.Folder(), L"client.exe", &signature);
  const std::wstring confirm = Text(L"IDS_UNINSTALLFILESHARINGSOFTWARE");
  DialogDriver driver(GetCurrentThreadId(), {{confirm, nullptr, IDOK}, {confirm, nullptr, IDOK}});
  SuccessBoxWatch watch(GetCurrentThreadId());
  for (ScanFile* file : {&one.file, &two.file}) EXPECT_TRUE(Run(*file, L"Test Share=uninst.exe"));
  EXPECT_EQ(driver.Finish(), 2);
  EXPECT_EQ(watch.Finish(), 2);
  EXPECT_FALSE(first.ClientExists());
  EXPECT_FALSE(second.ClientExists());
}

}  // namespace
}  // namespace tessaly
