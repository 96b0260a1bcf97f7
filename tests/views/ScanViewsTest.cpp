// A whole scan in the real main window of this process: the scan is started by its command, the
// rows arrive through the bridge, and the lists, status bar and commands are read back with
// window messages; the views' handlers are driven by the notifications Windows would send.
#include "DialogDriver.h"
#include "GuiTestSupport.h"

#include "Framework.h"
#include "MvButton.h"
#include "MvChildWindow.h"
#include "MvComboBox.h"
#include "MvListView.h"
#include "MvStatusBar.h"
#include "MvTabControl.h"
#include "MvToolBar.h"
#include "ProgramWindow.h"
#include "SettingsStore.h"
#include "TempTree.h"
#include "TextConvert.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

namespace tessaly {
namespace {

using test::PumpUntil;

// The demo computer, made by the build (tools/make_demo_computer.py), without the trailing
// separator.
std::wstring DemoComputer() {
  std::wstring folder = test::WindowsFolder(TESSALY_DEMO_COMPUTER);
  folder.pop_back();
  return folder;
}

struct Row {
  std::wstring text;
  std::wstring columns[4];
  bool checked = false;
  bool hasRecord = false;
};

std::vector<Row> RowsOf(const MvListView& list) {
  std::vector<Row> rows;
  for (int item = 0; item < list.ItemCount(); ++item) {
    Row row;
    row.text = list.GetItemText(item, 0);
    for (int column = 1; column < list.columnCount && column < 5; ++column) {
      row.columns[column - 1] = list.GetItemText(item, column);
    }
    row.checked = list.IsChecked(item);
    row.hasRecord = list.GetItemData(item) != 0;
    rows.push_back(row);
  }
  return rows;
}

std::set<std::wstring> FileNames(const MvListView& list) {
  std::set<std::wstring> names;
  for (const Row& row : RowsOf(list)) {
    if (row.hasRecord) names.insert(row.text);
  }
  return names;
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(WideToAnsi(path), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string JsonEscaped(const std::wstring& text) {
  std::string out;
  for (char c : WideToUtf8(text)) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

// Runs the command-line scanner over root with a JSON result file; its text.
std::string CommandLineScan(const std::wstring& root) {
  const std::wstring exe = test::WindowsFolder(TESSALY_SCAN_DIR) + L"tessaly-scan.exe";
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring json = std::wstring(temp) + L"tessaly-views-test.json";
  std::wstring command = L"\"" + exe + L"\" --json \"" + json + L"\" \"" + root + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &process)) {
    return "(tessaly-scan did not start)";
  }
  WaitForSingleObject(process.hProcess, 120000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  const std::string text = ReadFile(json);
  DeleteFileW(json.c_str());
  return text;
}

class ScanViewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(test::ShippedLanguage().languages.count, 0u) << "Tessres.dll not found";
    ProcessSortState().Reset();
    ProgramWindowSetup setup;
    setup.language = &test::ShippedLanguage();
    setup.configuration = &test::ShippedConfiguration();
    setup.settings = &settings_;
    setup.programFolder = test::ProgramFolder();
    setup.hidden = true;
    setup.volumes = [] { return std::make_unique<test::NoDrives>(); };
    setup.scanDoneWizard = false;  // the wizard has tests of its own; here it would only wait
    window_ = std::make_unique<ProgramWindow>(std::move(setup));
    ASSERT_TRUE(window_->Create());
    hwnd_ = window_->Window().hwnd;
    ASSERT_TRUE(PumpUntil([this] { return window_->VolumesEnumerated(); }));
  }

  void TearDown() override {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    window_.reset();
  }

  std::wstring Text(const wchar_t* id) { return GetString(false, id, test::ShippedLanguage()); }

  void SetSearchPath(const std::wstring& path) {
    MvComboBox* combo = FindComboBox(L"IDC_CBOX_SEARCHPATH");
    ASSERT_NE(combo, nullptr);
    SetWindowTextW(combo->hwnd, path.c_str());
  }
  // The command as the menu sends it.
  void Command(int id) { SendMessageW(hwnd_, WM_COMMAND, static_cast<WPARAM>(id), 0); }
  bool WaitForFinish() {
    return PumpUntil([this] { return window_->ScanProgress()->FinishedShown() && !window_->Scan()->IsRunning(); },
                     60000);
  }
  void ScanDemoComputer() {
    SetSearchPath(DemoComputer());
    Command(1027);  // "IDS_STARTSCAN"
    ASSERT_TRUE(WaitForFinish());
  }

  MvListView& List(const wchar_t* name) {
    MvListView* list = FindListView(name);
    EXPECT_NE(list, nullptr) << "no list " << WideToUtf8(name);
    return *list;
  }
  bool ToolEnabled(const wchar_t* name) { return FindToolBar()->IsButtonEnabled(GetUniqueIdCode(name)); }
  bool MenuGreyed(int command) { return GetMenuState(GetMenu(hwnd_), command, MF_BYCOMMAND) & MF_GRAYED; }
  std::wstring StatusPart(int part) { return FindStatusBar()->GetPartText(part); }

  // A notification of a list as Windows sends it to the main window.
  void Click(MvListView& list, int item, UINT code = NM_CLICK) {
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list.hwnd;
    click.hdr.code = code;
    click.iItem = item;
    SendMessageW(hwnd_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
  }
  void ClickColumn(MvListView& list, int column) {
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list.hwnd;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(hwnd_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
  }

  MemorySettingsStore settings_;
  std::unique_ptr<ProgramWindow> window_;
  HWND hwnd_ = nullptr;
};

TEST_F(ScanViewsTest, DemoScanFillsEachListWithItsColumnsAsTheCommandLineScannerReports) {
  ScanDemoComputer();
  ScanRun& run = *window_->Scan();
  const std::wstring root = DemoComputer() + L"\\";

  // The P2P list: the client, identified, one copy, its icon.
  const std::vector<Row> programs = RowsOf(List(kListViewP2p));
  ASSERT_EQ(programs.size(), 1u);
  EXPECT_EQ(programs[0].text, L"emule.exe");
  EXPECT_EQ(programs[0].columns[0], L"emule.exe " + Text(L"IDS_HASBEENIDENTIFIEDAS") + L" eMule - " +
                                        Text(L"IDS_AFILESHARINGSOFTWARE"));
  EXPECT_EQ(programs[0].columns[1], L"1");

  struct {
    const wchar_t* list;
    std::set<std::wstring> names;
  } expected[] = {
      {kListViewMediaInOtherFolders,
       {L"Artist - First Song.mp3", L"Artist - Second Song.mp3", L"Live Concert.avi", L"Holiday Song.mp3",
        L"Wedding.mpg", L"holiday clip.dat", L"01 Opening.mp3", L"02 Finale.mp3"}},
      {kListViewImagesInOtherFolders, {L"cover.jpg", L"Beach.jpg"}},
      {kListViewSharedMedia,
       {L"Artist - First Song.mp3", L"Artist - Second Song.mp3", L"Live Concert.avi", L"01 Opening.mp3",
        L"02 Finale.mp3"}},
      {kListViewSharedImages, {L"cover.jpg"}},
      {kListViewSharedOtherFiles, {}},
  };
  const std::string json = CommandLineScan(DemoComputer());
  ASSERT_NE(json.find("\"completed\": true"), std::string::npos) << json;
  for (const auto& list : expected) {
    SCOPED_TRACE(WideToUtf8(list.list));
    EXPECT_EQ(FileNames(List(list.list)), list.names);
    const std::vector<Row> rows = RowsOf(List(list.list));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].text, Text(L"IDS_CHECKALLITEMS"));  // the check-all row comes back after the clearing
    EXPECT_FALSE(rows[0].hasRecord);
    const bool shared = std::wstring_view(list.list).find(L"SHARED") != std::wstring_view::npos;
    for (size_t i = 1; i < rows.size(); ++i) {
      const Row& row = rows[i];
      SCOPED_TRACE(WideToUtf8(row.text));
      EXPECT_EQ(row.columns[0].rfind(root, 0), 0u) << WideToUtf8(row.columns[0]);  // the folder
      EXPECT_FALSE(row.columns[1].empty());                                         // the size
      EXPECT_EQ(row.columns[2], row.text.substr(row.text.rfind(L'.')));             // the extension
      EXPECT_TRUE(row.checked);
      // The command-line scanner lists the same file, shared by the client exactly when the
      // window lists it as shared.
      const std::string entry = "\"path\": \"" + JsonEscaped(row.columns[0] + row.text) + "\"";
      const size_t at = json.find(entry);
      ASSERT_NE(at, std::string::npos) << entry;
      const std::string line = json.substr(at, json.find('\n', at) - at);
      if (shared) {
        EXPECT_EQ(line.find("\"sharedBy\": null"), std::string::npos) << line;
      }
    }
  }
  const std::string counts = "\"p2p\": " + std::to_string(run.P2pCount()) + ", \"music\": " +
                             std::to_string(run.MusicCount()) + ", \"video\": " + std::to_string(run.VideoCount()) +
                             ", \"images\": " + std::to_string(run.ImageCount()) + "}";
  EXPECT_NE(json.find(counts), std::string::npos) << counts << "\n" << json;

  // Finished: the status bar, the commands.
  EXPECT_EQ(StatusPart(0), Text(L"IDS_READY"));
  EXPECT_EQ(StatusPart(1), run.StatusText(nullptr).counts);
  EXPECT_FALSE(ToolEnabled(L"IDC_STOP"));
  EXPECT_FALSE(ToolEnabled(L"IDC_PAUSE"));
  EXPECT_TRUE(ToolEnabled(L"IDC_RESCAN"));
  EXPECT_TRUE(ToolEnabled(L"IDC_SAVERESULT"));
  EXPECT_TRUE(MenuGreyed(1028));
  EXPECT_FALSE(MenuGreyed(1033));
  EXPECT_TRUE(FindButton(FindChildWindow(L"IDC_LEFTPANEL"), L"IDC_BTN_VIEW_MAINMENU")->enabled);
  MvChildWindow* progress = FindChildWindow(kProgressWindowName);
  ASSERT_NE(progress, nullptr);
  EXPECT_FALSE(IsWindowVisible(progress->hwnd));
  // The start command shows the P2P view.
  EXPECT_TRUE(List(kListViewP2p).visible);
  EXPECT_EQ(window_->Window().GetProperty(kCurrentListProperty), &List(kListViewP2p));
}

// Many songs, so that a scan is still walking when the test acts on it.
void AddSongs(test::TempTree& tree, int count) {
  std::string song = "ID3";
  song.resize(100'000, '\x01');
  for (int i = 0; i < count; ++i) tree.AddFile("Music/song " + std::to_string(i) + ".mp3", song);
}

TEST_F(ScanViewsTest, StartWhileRunningEmptiesTheViewsAndStartsNothingStopLeavesThemConsistent) {
  test::TempTree tree;
  AddSongs(tree, 300);
  SetSearchPath(tree.RootText());
  ScanRun& run = *window_->Scan();
  // Paused on the scan thread as it starts, before its first entry: the walk waits there.
  run.events.AddBinaryEventProc(kScanRunStartedEvent, [](void*, void* context) {
    static_cast<ScanRun*>(context)->TogglePause();
    return 0;
  }, &run);
  Command(1027);
  ASSERT_TRUE(run.IsRunning());
  ASSERT_TRUE(PumpUntil([&] { return !ToolEnabled(L"IDC_RESCAN") && ToolEnabled(L"IDC_STOP"); }));
  EXPECT_TRUE(MenuGreyed(1027));
  EXPECT_FALSE(MenuGreyed(1028));
  EXPECT_FALSE(FindButton(FindChildWindow(L"IDC_LEFTPANEL"), L"IDC_BTN_VIEW_MAINMENU")->enabled);
  MvChildWindow* progress = FindChildWindow(kProgressWindowName);
  ASSERT_NE(progress, nullptr);
  EXPECT_TRUE(IsWindowVisible(progress->hwnd));

  MvScan* scan = static_cast<MvScan*>(window_->Window().GetProperty(L"CurrentScanProcess"));
  ASSERT_NE(scan, nullptr);
  Command(1027);  // again while it runs
  EXPECT_EQ(window_->Window().GetProperty(L"CurrentScanProcess"), scan);
  EXPECT_EQ(run.MusicCount(), 0u);
  EXPECT_EQ(List(kListViewMediaInOtherFolders).ItemCount(), 1);  // the check-all row only
  EXPECT_EQ(List(kListViewP2p).ItemCount(), 0);

  Command(1029);  // "IDS_PAUSESCAN" resumes
  PumpUntil([&] { return run.MusicCount() > 20 || !run.IsRunning(); });
  Command(1028);  // "IDS_STOPSCAN"
  ASSERT_TRUE(WaitForFinish());
  // Every counted song is a row, the status shows the final counts.
  EXPECT_EQ(static_cast<uint32_t>(FileNames(List(kListViewMediaInOtherFolders)).size()), run.MusicCount());
  EXPECT_EQ(static_cast<uint32_t>(List(kListViewMediaInOtherFolders).ItemCount()), run.MusicCount() + 1);
  EXPECT_EQ(StatusPart(0), Text(L"IDS_READY"));
  EXPECT_EQ(StatusPart(1), run.StatusText(nullptr).counts);
  EXPECT_TRUE(ToolEnabled(L"IDC_RESCAN"));
  EXPECT_FALSE(ToolEnabled(L"IDC_STOP"));
  EXPECT_EQ(window_->ScanProgress()->RowsWaiting(), 0u);
}

TEST_F(ScanViewsTest, CheckAllRowTogglesEveryFileAndDeleteSelectedFollows) {
  ScanDemoComputer();
  Command(1035);  // the other-folders view
  MvListView& list = List(kListViewMediaInOtherFolders);
  ASSERT_TRUE(list.visible);
  const int count = list.ItemCount();
  ASSERT_GT(count, 2);
  list.SetCheckAll(1, false);

  struct {
    const wchar_t* firstRowAfter;
    bool checked;
    bool deleteEnabled;
  } clicks[] = {{L"IDS_UNSELECTALL", true, true}, {L"IDS_CHECKALLITEMS", false, false}};
  for (const auto& click : clicks) {
    Click(list, 0);
    EXPECT_EQ(list.GetItemText(0, 0), Text(click.firstRowAfter));
    for (int item = 1; item < count; ++item) EXPECT_EQ(list.IsChecked(item), click.checked) << item;
    EXPECT_EQ(ToolEnabled(L"IDC_DELETESELECTED"), click.deleteEnabled);
    EXPECT_EQ(MenuGreyed(kDeleteSelectedMenuItem), !click.deleteEnabled);
  }
  // A file row's click only re-evaluates "Delete Selected".
  LVITEMW state{};
  state.stateMask = LVIS_STATEIMAGEMASK;
  state.state = INDEXTOSTATEIMAGEMASK(2);
  SendMessageW(list.hwnd, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
  Click(list, 1);
  EXPECT_TRUE(ToolEnabled(L"IDC_DELETESELECTED"));
  EXPECT_EQ(list.GetItemText(0, 0), Text(L"IDS_CHECKALLITEMS"));
}

TEST_F(ScanViewsTest, SortingTwiceReversesAndAColumnAbove3KeepsTheOrder) {
  ScanDemoComputer();
  Command(1035);
  MvListView& list = List(kListViewMediaInOtherFolders);
  auto texts = [&list] {
    std::vector<std::wstring> all;
    for (const Row& row : RowsOf(list)) all.push_back(row.text);
    return all;
  };
  auto sortedNoCase = [](std::vector<std::wstring> all, bool reverse) {
    std::sort(all.begin(), all.end(), [](const std::wstring& a, const std::wstring& b) { return CompareNoCase(a, b) < 0; });
    if (reverse) std::reverse(all.begin(), all.end());
    return all;
  };
  const std::vector<std::wstring> before = texts();
  ClickColumn(list, 0);
  EXPECT_EQ(texts(), sortedNoCase(before, false));
  ClickColumn(list, 0);
  EXPECT_EQ(texts(), sortedNoCase(before, true));
  const std::vector<std::wstring> reversed = texts();
  ClickColumn(list, 5);
  EXPECT_EQ(texts(), reversed);
  // By size, in the direction kept from before (descending): the check-all row counts as equal to
  // every row, so only the order of the files is checked.
  ClickColumn(list, 2);
  std::vector<uint64_t> sizes;
  for (int item = 0; item < list.ItemCount(); ++item) {
    if (auto* file = reinterpret_cast<ScanFile*>(list.GetItemData(item))) sizes.push_back(file->size);
  }
  EXPECT_TRUE(std::is_sorted(sizes.rbegin(), sizes.rend())) << "not descending by size";
}

TEST_F(ScanViewsTest, ThumbTrackingTheTopicPanelMovesTheContentByAFifth) {
  window_->ShowAtStart();  // a hidden window does not scroll
  MvChildWindow* panel = FindChildWindow(L"IDC_PANEL_TOPIC");
  ASSERT_NE(panel, nullptr);
  MvButton* first = FindButton(panel, L"IDC_FILESHARINGSOFTWARE");
  ASSERT_NE(first, nullptr);
  TopicScrollLastPosition() = 0;
  auto topOf = [panel](HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    POINT corner{rect.left, rect.top};
    ScreenToClient(panel->hwnd, &corner);
    return corner.y;
  };
  const int before = topOf(first->hwnd);
  SendMessageW(panel->hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 100), 0);
  EXPECT_EQ(topOf(first->hwnd), before - 20);
  EXPECT_EQ(GetScrollPos(panel->hwnd, SB_VERT), 20);
  SendMessageW(panel->hwnd, WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0), 0);
  EXPECT_EQ(topOf(first->hwnd), before - 15);
}

TEST_F(ScanViewsTest, ViewsSwitchGroupsAndTheMainMenuKeepsTheListShownLast) {
  MvChildWindow& main = window_->Window();
  MvChildWindow* panel = FindChildWindow(L"IDC_PANEL_TOPIC");
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(panel->visible);  // the main menu at start
  EXPECT_FALSE(List(kListViewP2p).visible);
  EXPECT_EQ(main.GetProperty(kCurrentListProperty), nullptr);

  Command(1034);  // shared files: the first tab's list
  EXPECT_TRUE(List(kListViewSharedMedia).visible);
  EXPECT_FALSE(List(kListViewSharedImages).visible);
  EXPECT_FALSE(panel->visible);
  EXPECT_EQ(main.GetProperty(kCurrentListProperty), &List(kListViewSharedMedia));

  // The tab control's change to its second page.
  MvTabControl* tab = FindTabControl(L"IDS_SHAREDMEDIA_TAB");
  ASSERT_NE(tab, nullptr);
  NMHDR change{tab->hwnd, 0, static_cast<UINT>(TCN_SELCHANGING)};
  SendMessageW(hwnd_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
  tab->SelectTab(1);
  change.code = static_cast<UINT>(TCN_SELCHANGE);
  SendMessageW(hwnd_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
  EXPECT_FALSE(List(kListViewSharedMedia).visible);
  EXPECT_TRUE(List(kListViewSharedImages).visible);
  EXPECT_EQ(main.GetProperty(kCurrentListProperty), &List(kListViewSharedImages));

  Command(1036);  // the main menu
  EXPECT_TRUE(panel->visible);
  EXPECT_FALSE(List(kListViewSharedImages).visible);
  EXPECT_EQ(main.GetProperty(kCurrentListProperty), &List(kListViewSharedImages));
  MvChildWindow* left = FindChildWindow(L"IDC_LEFTPANEL");
  EXPECT_STREQ(static_cast<const wchar_t*>(FindButton(left, L"IDC_BTN_VIEW_MAINMENU")->GetProperty(L"IsSelectedForView")),
               kTrue);
  EXPECT_STREQ(static_cast<const wchar_t*>(
                   FindButton(left, L"IDC_BTN_VIEW_ALLFILESINSHAREDFOLDERS")->GetProperty(L"IsSelectedForView")),
               kFalse);
}
}  // namespace
}  // namespace tessaly

namespace tessaly {
namespace {

void SetCheck(MvListView& list, int item, bool checked) {
  LVITEMW state{};
  state.stateMask = LVIS_STATEIMAGEMASK;
  state.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  SendMessageW(list.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

TEST_F(ScanViewsTest, DeleteSelectedOpensTheDialogOnlyForCheckedMediaRows) {
  ScanDemoComputer();
  const std::wstring title = Text(L"IDS_DELETEIMAGEFILES");
  // The P2P list, even with a program marked for deletion: no dialog.
  Command(1033);
  MvListView& programs = List(kListViewP2p);
  ASSERT_TRUE(programs.visible);
  ASSERT_GT(programs.ItemCount(), 0);
  auto* program = reinterpret_cast<ScanFile*>(programs.GetItemData(0));
  ASSERT_NE(program, nullptr);
  program->Properties().Add(L"P2pDelete", const_cast<wchar_t*>(kTrue));
  {
    test::DialogDriver driver(GetCurrentThreadId(), {{title, nullptr, IDCANCEL}});
    Command(kDeleteSelectedMenuItem);
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(test::FindDialogCaptioned(GetCurrentThreadId(), title), nullptr);
  }
  program->Properties().Remove(L"P2pDelete");

  // A media list with every row unchecked: the command is disabled and does nothing.
  Command(1035);
  MvListView& media = List(kListViewMediaInOtherFolders);
  ASSERT_TRUE(media.visible);
  Command(1031);  // "IDS_UNSELECTALL"
  EXPECT_FALSE(ToolEnabled(L"IDC_DELETESELECTED"));
  EXPECT_TRUE(MenuGreyed(kDeleteSelectedMenuItem));
  {
    test::DialogDriver driver(GetCurrentThreadId(), {{title, nullptr, IDCANCEL}});
    Command(kDeleteSelectedMenuItem);
    EXPECT_EQ(test::FindDialogCaptioned(GetCurrentThreadId(), title), nullptr);
  }

  // One row checked: the dialog lists it; Cancel keeps file and row.
  SetCheck(media, 2, true);
  Click(media, 2);
  EXPECT_TRUE(ToolEnabled(L"IDC_DELETESELECTED"));
  const std::wstring name = media.GetItemText(2, 0);
  const int rows = media.ItemCount();
  int listed = -1;
  std::wstring listedName;
  test::DialogDriver driver(GetCurrentThreadId(), {{title,
                                                    [&](HWND dialog) {
                                                      MvListView shown(L"shown", GetDlgItem(dialog, 1032));
                                                      listed = shown.ItemCount();
                                                      listedName = shown.GetItemText(0, 0);
                                                    },
                                                    IDCANCEL}});
  Command(kDeleteSelectedMenuItem);
  EXPECT_EQ(driver.Finish(), 1);
  EXPECT_EQ(listed, 1);
  EXPECT_EQ(listedName, name);
  EXPECT_EQ(media.ItemCount(), rows);
  EXPECT_TRUE(media.IsChecked(2));
}
}  // namespace
}  // namespace tessaly
