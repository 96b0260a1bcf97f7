// The scan-done wizard: its pages over a P2P list made here, and at the end of a real scan of
// three planted P2P clients in the main window, where "Finish" hands the checked programs, in row
// order, to the uninstall callback.
#include "DialogDriver.h"
#include "GuiTestSupport.h"

#include "Framework.h"
#include "MvComboBox.h"
#include "MvListView.h"
#include "ProgramWindow.h"
#include "ScanDoneWizard.h"
#include "ScanRecords.h"
#include "SettingsStore.h"
#include "SharedProperties.h"
#include "TempTree.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <vector>

namespace tessaly {
namespace {

constexpr int kBack = 1015;
constexpr int kNext = 1016;
constexpr int kCancel = 1017;
constexpr int kBody = 1019;
constexpr int kList = 1021;

std::wstring Text(const wchar_t* id) { return GetString(false, id, test::ShippedLanguage()); }

std::wstring WindowText(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return text;
}

void Click(HWND dialog, int button) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

void Check(HWND list, int row) {
  LVITEMW state{};
  state.stateMask = LVIS_STATEIMAGEMASK;
  state.state = INDEXTOSTATEIMAGEMASK(2);
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
}

// What a page shows.
struct Page {
  std::wstring caption, body, next;
  bool backEnabled = false, listVisible = false, listEnabled = false;
  std::vector<std::vector<std::wstring>> rows;  // the cells of each row
  std::vector<bool> checked;
};

Page Read(HWND dialog) {
  Page page;
  page.caption = WindowText(dialog);
  page.body = WindowText(GetDlgItem(dialog, kBody));
  page.next = WindowText(GetDlgItem(dialog, kNext));
  page.backEnabled = IsWindowEnabled(GetDlgItem(dialog, kBack)) != FALSE;
  MvListView list(L"read", GetDlgItem(dialog, kList));
  page.listVisible = IsWindowVisible(list.hwnd) != FALSE;
  page.listEnabled = IsWindowEnabled(list.hwnd) != FALSE;
  HWND header = reinterpret_cast<HWND>(SendMessageW(list.hwnd, LVM_GETHEADER, 0, 0));
  const int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < list.ItemCount(); ++row) {
    std::vector<std::wstring> cells;
    for (int column = 0; column < columns; ++column) cells.push_back(list.GetItemText(row, column));
    page.rows.push_back(cells);
    page.checked.push_back(list.IsChecked(row));
  }
  return page;
}

// A list of P2P programs like the main window's, in a hidden window of its own.
class ProgramList {
 public:
  explicit ProgramList(std::vector<std::wstring> names) {
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 400, 300, parent_, nullptr,
                                nullptr, nullptr);
    list_ = std::make_unique<MvListView>(L"IDC_LISTVIEW_P2P", list);
    list_->InsertColumn(L"Name", 100);
    list_->InsertColumn(L"Description", 100);
    for (const std::wstring& name : names) {
      auto file = std::make_unique<ScanFile>();
      file->name = name;
      const int row = list_->AddItem(-1, name.c_str(), reinterpret_cast<LPARAM>(file.get()));
      list_->SetItemText(row, 1, (name + L" has been identified").c_str());
      files_.push_back(std::move(file));
    }
  }
  ~ProgramList() {
    list_.reset();
    DestroyWindow(parent_);
  }
  MvListView* List() { return list_.get(); }
  ScanFile* File(size_t i) { return files_[i].get(); }

 private:
  HWND parent_ = nullptr;
  std::unique_ptr<MvListView> list_;
  std::vector<std::unique_ptr<ScanFile>> files_;
};

class ScanDoneWizardTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_GT(test::ShippedLanguage().languages.count, 0u) << "Tessres.dll not found"; }

  // Runs the wizard with the counts and list; look() drives it on the driver's thread, then
  // button ends it (0: the close box).
  void Run(ScanDoneWizard& wizard, const std::function<void(HWND)>& look, int button) {
    test::DialogDriver driver(GetCurrentThreadId(), {{Text(L"IDS_SCANDONE_STEP1_TITLE"), look, button}});
    EXPECT_EQ(wizard.Run(nullptr), 0);
    ASSERT_EQ(driver.Finish(), 1) << "the wizard did not open";
  }
};

TEST_F(ScanDoneWizardTest, PagesShowTheCountsThenTheProgramsThenTheConfirmation) {
  ProgramList programs({L"limewire.exe", L"emule.exe", L"gnucleus.exe"});
  ScanDoneWizard wizard(test::ShippedLanguage(), GetModuleHandleW(nullptr));
  wizard.SetProperty(kWizardP2pCount, NumberValue(3));
  wizard.SetProperty(kWizardMusicCount, NumberValue(120));
  wizard.SetProperty(kWizardP2pList, programs.List());  // no video or image count: they show 0
  Page pages[4];
  Run(wizard,
      [&](HWND dialog) {
        pages[0] = Read(dialog);
        Click(dialog, kBack);  // nothing before page 1
        pages[1] = Read(dialog);
        Click(dialog, kNext);
        pages[2] = Read(dialog);
        Click(dialog, kNext);
        pages[3] = Read(dialog);
      },
      kCancel);
  const Page& summary = pages[0];
  EXPECT_EQ(summary.caption, Text(L"IDS_SCANDONE_STEP1_TITLE"));
  EXPECT_EQ(summary.body, Text(L"IDS_SCANDONE_STEP1_BODY"));
  EXPECT_EQ(summary.next, Text(L"IDS_NEXT"));
  EXPECT_FALSE(summary.backEnabled);
  EXPECT_TRUE(summary.listVisible && summary.listEnabled);
  EXPECT_EQ(summary.rows, (std::vector<std::vector<std::wstring>>{{Text(L"IDS_FILESHARINGSOFTWARE"), L"3"},
                                                                  {Text(L"IDS_MUSICFILES"), L"120"},
                                                                  {Text(L"IDS_VIDEOFILES"), L"0"},
                                                                  {Text(L"IDS_IMAGEFILES"), L"0"}}));
  EXPECT_EQ(pages[1].rows, summary.rows) << "Back on page 1 stays there";

  const Page& choice = pages[2];
  EXPECT_EQ(choice.caption, Text(L"IDS_SCANDONE_STEP2_TITLE"));
  EXPECT_EQ(choice.body, Text(L"IDS_SCANDONE_STEP2_BODY"));
  EXPECT_TRUE(choice.backEnabled);
  EXPECT_TRUE(choice.listVisible && choice.listEnabled);
  EXPECT_EQ(choice.rows, (std::vector<std::vector<std::wstring>>{{L"limewire.exe"}, {L"emule.exe"}, {L"gnucleus.exe"}}));
  EXPECT_EQ(choice.checked, (std::vector<bool>{false, false, false}));

  const Page& confirmation = pages[3];
  EXPECT_EQ(confirmation.caption, Text(L"IDS_SCANDONE_STEP3_TITLE"));
  EXPECT_EQ(confirmation.body, Text(L"IDS_SCANDONE_STEP3_BODY"));
  EXPECT_EQ(confirmation.next, Text(L"IDS_FINISH"));
  EXPECT_TRUE(confirmation.backEnabled);
  EXPECT_FALSE(confirmation.listVisible);
  EXPECT_EQ(wizard.GetProperty(kUninstallP2pList), nullptr) << "Cancel hands over no list";
}

TEST_F(ScanDoneWizardTest, WhatFinishHandsOver) {
  struct {
    const char* name;
    std::vector<int> checkedRows;
    bool backAndForth;  // page 1 and page 2 again after checking
    int closeWith;      // kNext (Finish), kCancel or 0 (the close box)
    std::vector<size_t> handedOver;
    bool list;
  } cases[] = {
      {"two checked", {0, 2}, false, kNext, {0, 2}, true},
      {"nothing checked", {}, false, kNext, {}, true},
      {"checks lost after Back and Next", {0, 1}, true, kNext, {}, true},
      {"cancelled", {0, 1}, false, kCancel, {}, false},
      {"closed", {1}, false, 0, {}, false},
  };
  for (const auto& c : cases) {
    ProgramList programs({L"limewire.exe", L"emule.exe", L"gnucleus.exe"});
    ScanDoneWizard wizard(test::ShippedLanguage(), GetModuleHandleW(nullptr));
    wizard.SetProperty(kWizardP2pCount, NumberValue(3));
    wizard.SetProperty(kWizardP2pList, programs.List());
    std::vector<bool> afterReturn;
    Run(wizard,
        [&](HWND dialog) {
          Click(dialog, kNext);
          for (int row : c.checkedRows) Check(GetDlgItem(dialog, kList), row);
          if (c.backAndForth) {
            Click(dialog, kBack);
            Click(dialog, kNext);
            afterReturn = Read(dialog).checked;
          }
          Click(dialog, kNext);
        },
        c.closeWith);
    if (c.backAndForth) {
      EXPECT_EQ(afterReturn, (std::vector<bool>{false, false, false})) << c.name;
    }
    MvLinkedList* list = ListProperty(wizard.properties, kUninstallP2pList);
    ASSERT_EQ(list != nullptr, c.list) << c.name;
    if (!list) continue;
    std::vector<ScanFile*> got, want;
    for (const MvListEntry& entry : *list) got.push_back(static_cast<ScanFile*>(entry.value));
    for (size_t i : c.handedOver) want.push_back(programs.File(i));
    EXPECT_EQ(got, want) << c.name;
  }
}

TEST_F(ScanDoneWizardTest, NoProgramsFoundGivesAnEmptyDisabledList) {
  ProgramList programs({});
  ScanDoneWizard wizard(test::ShippedLanguage(), GetModuleHandleW(nullptr));
  wizard.SetProperty(kWizardP2pList, programs.List());
  Page choice;
  Run(wizard,
      [&](HWND dialog) {
        Click(dialog, kNext);
        choice = Read(dialog);
        Click(dialog, kNext);
      },
      kNext);
  EXPECT_TRUE(choice.rows.empty());
  EXPECT_FALSE(choice.listEnabled);
  MvLinkedList* list = ListProperty(wizard.properties, kUninstallP2pList);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->count, 0u);
}

// The bytes of a planted client, as tools/make_fake_client.py writes them (resources/signatures.tsv
// holds their signatures).
std::string FakeClientBytes(const std::string& name, size_t size) {
  uint32_t seed = 0x811C9DC5u;
  for (unsigned char byte : name) seed = (seed ^ byte) * 0x01000193u;
  uint32_t state = seed ? seed : 1;
  std::string out(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    out[i] = static_cast<char>(state & 0xFF);
  }
  if (size >= 2) out.replace(0, 2, "MZ");
  return out;
}

TEST_F(ScanDoneWizardTest, TheEndOfAScanHandsTheCheckedProgramsInRowOrderToTheUninstall) {
  test::TempTree tree;
  tree.AddFile(L"LimeWire/LimeWire.exe", FakeClientBytes("LimeWire", 61440));
  tree.AddFile(L"eMule/emule.exe", FakeClientBytes("eMule", 49152));
  tree.AddFile(L"Gnucleus/Gnucleus.exe", FakeClientBytes("Gnucleus", 36864));
  MemorySettingsStore settings;
  std::vector<ScanFile*> uninstalled;
  ProgramWindowSetup setup;
  setup.language = &test::ShippedLanguage();
  setup.configuration = &test::ShippedConfiguration();
  setup.settings = &settings;
  setup.programFolder = test::ProgramFolder();
  setup.hidden = true;
  setup.volumes = [] { return std::make_unique<test::NoDrives>(); };
  setup.uninstallP2p = [&](ScanFile& program) { uninstalled.push_back(&program); };
  ProgramWindow window(std::move(setup));
  ASSERT_TRUE(window.Create());
  HWND hwnd = window.Window().hwnd;
  ASSERT_TRUE(test::PumpUntil([&] { return window.VolumesEnumerated(); }));

  std::vector<std::wstring> wizardRows;
  test::DialogDriver driver(GetCurrentThreadId(), {{Text(L"IDS_SCANDONE_STEP1_TITLE"),
                                                    [&](HWND dialog) {
                                                      Click(dialog, kNext);
                                                      for (const auto& row : Read(dialog).rows) wizardRows.push_back(row[0]);
                                                      Check(GetDlgItem(dialog, kList), 0);
                                                      Check(GetDlgItem(dialog, kList), 2);
                                                      Click(dialog, kNext);
                                                    },
                                                    kNext}});
  SetWindowTextW(FindComboBox(L"IDC_CBOX_SEARCHPATH")->hwnd, tree.RootText().c_str());
  SendMessageW(hwnd, WM_COMMAND, 1027, 0);
  EXPECT_TRUE(test::PumpUntil([&] { return window.ScanProgress()->FinishedShown() && !window.Scan()->IsRunning(); }, 30000));
  EXPECT_EQ(driver.Finish(), 1) << "the wizard did not open at the end of the scan";

  MvListView* p2p = FindListView(L"IDC_LISTVIEW_P2P");
  ASSERT_NE(p2p, nullptr);
  ASSERT_EQ(p2p->ItemCount(), 3);
  std::vector<std::wstring> listRows;
  for (int row = 0; row < 3; ++row) listRows.push_back(p2p->GetItemText(row, 0));
  EXPECT_EQ(wizardRows, listRows);
  const std::vector<ScanFile*> want{reinterpret_cast<ScanFile*>(p2p->GetItemData(0)),
                                    reinterpret_cast<ScanFile*>(p2p->GetItemData(2))};
  EXPECT_EQ(uninstalled, want);
  EXPECT_EQ(p2p->ItemCount(), 3) << "the rows stay";

  DestroyWindow(hwnd);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

}  // namespace
}  // namespace tessaly
