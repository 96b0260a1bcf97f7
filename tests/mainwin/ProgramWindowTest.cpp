// The real main window in this process: its contents, the tray icon, commands, close and
// re-layout, driven by window messages.
#include "GuiTestSupport.h"
#include "LoginDriver.h"
#include "PasswordStore.h"

#include "Framework.h"
#include "MainWindowModel.h"
#include "MvChildWindow.h"
#include "MvComboBox.h"
#include "MvListView.h"
#include "MvStatusBar.h"
#include "MvToolBar.h"
#include "ProgramWindow.h"
#include "Relayout.h"
#include "Startup.h"
#include "SettingsStore.h"
#include "TempTree.h"
#include "DebugLog.h"
#include "ModuleInfo.h"

#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <thread>

namespace tessaly {
namespace {

using test::PumpUntil;

// C:\ and an empty DVD drive D:\, listed by drive letter.
class TwoDrives final : public VolumeApi {
 public:
  bool UsesDriveLetters() const override { return true; }
  uint32_t LogicalDriveMask() override { return 0b1100; }
  std::vector<std::wstring> VolumeNames() override { return {}; }
  std::optional<std::wstring> FirstMountPath(const std::wstring& name) override { return name; }
  std::optional<std::wstring> Label(const std::wstring& name) override {
    if (name == L"C:\\") return L"System";
    return std::nullopt;
  }
  uint32_t DriveTypeOf(const std::wstring& name) override { return name == L"C:\\" ? kDriveFixed : kDriveCdRom; }
  bool FreeSpace(const std::wstring& name, FreeSpaceInfo& info) override { return name == L"C:\\"; }
};

bool TrayIconExists(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = kTrayIconId;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

std::wstring ComboItem(HWND combo, int index) {
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (length < 0) return L"(none)";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

std::vector<std::wstring> ComboItems(HWND combo) {
  std::vector<std::wstring> items;
  const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) items.push_back(ComboItem(combo, i));
  return items;
}

class ProgramWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(test::ShippedLanguage().languages.count, 0u) << "Tessres.dll not found";
    PrepareControls();  // as at start-up: the welcome dialog's rich edit needs its library
    StorePassword(settings_, kPassword);
  }

  // Sends a command that shows the window from the tray, logging in on the way.
  void SendWithLogin(UINT message, WPARAM wParam, LPARAM lParam) {
    test::LoginThenAnswer login(kPassword, 0);
    SendMessageW(hwnd_, message, wParam, lParam);
    login.Finish();
    EXPECT_TRUE(login.LoginShown());
  }

  static constexpr const wchar_t* kPassword = L"Secret1";

  std::wstring Text(const wchar_t* id) { return GetString(false, id, test::ShippedLanguage()); }

  void Open(bool hidden = true, StringTable* language = nullptr, std::wstring programFolder = {}) {
    ProgramWindowSetup setup;
    setup.language = language ? language : &test::ShippedLanguage();
    setup.configuration = &test::ShippedConfiguration();
    setup.settings = &settings_;
    setup.programFolder = programFolder.empty() ? test::ProgramFolder() : programFolder;
    setup.hidden = hidden;
    setup.volumes = [] { return std::make_unique<TwoDrives>(); };
    window_ = std::make_unique<ProgramWindow>(std::move(setup));
    ASSERT_TRUE(window_->Create());
    hwnd_ = window_->Window().hwnd;
    ASSERT_TRUE(IsWindow(hwnd_));
  }

  void TearDown() override {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    // The destroy posts a quit message for the loop of the program; a test has none.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    window_.reset();
  }

  MemorySettingsStore settings_;
  std::unique_ptr<ProgramWindow> window_;
  HWND hwnd_ = nullptr;
};

TEST_F(ProgramWindowTest, HiddenStartHasNoVisibleStyleAndATrayIcon) {
  Open(true);
  EXPECT_FALSE(GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_EQ(window_->Window().visible, 0);
  EXPECT_TRUE(TrayIconExists(hwnd_));
  EXPECT_EQ(test::FindThreadDialog(GetCurrentThreadId()), nullptr);
  wchar_t className[128] = {};
  GetClassNameW(hwnd_, className, 128);
  EXPECT_STREQ(className, kSingleInstanceName);
  EXPECT_EQ(FindWindowExW(nullptr, nullptr, kSingleInstanceName, nullptr), hwnd_);
}

TEST_F(ProgramWindowTest, CloseHidesAndTheTrayIconStays) {
  Open(false);
  window_->ShowAtStart();
  ASSERT_TRUE(IsWindowVisible(hwnd_));
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(hwnd_));
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_EQ(window_->Window().visible, 0);
  EXPECT_TRUE(TrayIconExists(hwnd_));
  // The tray's double click asks for the login; cancelled, the window stays hidden.
  {
    test::LoginThenAnswer cancel(nullptr, 0);
    SendMessageW(hwnd_, kTrayMessage, 0, WM_LBUTTONDBLCLK);
    cancel.Finish();
    EXPECT_TRUE(cancel.LoginShown());
    EXPECT_FALSE(IsWindowVisible(hwnd_));
  }
  // Logged in, it comes back; once visible, a double click asks nothing.
  SendWithLogin(kTrayMessage, 0, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_EQ(window_->Window().visible, 1);
  SendMessageW(hwnd_, kTrayMessage, 0, WM_LBUTTONDBLCLK);
  EXPECT_EQ(test::FindThreadDialog(GetCurrentThreadId()), nullptr);
}

TEST_F(ProgramWindowTest, TrayMenuGreysOpenWhileVisible) {
  Open(true);
  for (bool visible : {false, true}) {
    if (visible) SendWithLogin(WM_COMMAND, GetUniqueIdCode(L"IDS_OPENPROGRAM"), 0);
    ASSERT_EQ(IsWindowVisible(hwnd_) != FALSE, visible);
    win::UniqueMenu menu = window_->BuildTrayMenu();
    ASSERT_TRUE(menu);
    ASSERT_EQ(GetMenuItemCount(menu.get()), 2);
    EXPECT_EQ(GetMenuItemID(menu.get(), 0), static_cast<UINT>(GetUniqueIdCode(L"IDS_OPENPROGRAM")));
    EXPECT_EQ(GetMenuItemID(menu.get(), 1), static_cast<UINT>(GetUniqueIdCode(L"IDS_EXIT")));
    EXPECT_EQ((GetMenuState(menu.get(), 0, MF_BYPOSITION) & MF_GRAYED) != 0, visible);
    EXPECT_EQ(GetMenuState(menu.get(), 1, MF_BYPOSITION) & MF_GRAYED, 0u);
    wchar_t text[128] = {};
    GetMenuStringW(menu.get(), 1, text, 128, MF_BYPOSITION);
    EXPECT_EQ(text, Text(L"IDS_EXIT"));
  }
}

TEST_F(ProgramWindowTest, ExitFromTheTrayMenuWhenHidden) {
  Open(true);
  ASSERT_TRUE(TrayIconExists(hwnd_));
  // Hidden, the program asks for the login first; cancelled, it keeps running.
  {
    test::LoginThenAnswer cancel(nullptr, 0);
    SendMessageW(hwnd_, WM_COMMAND, GetUniqueIdCode(L"IDS_EXIT"), 0);
    cancel.Finish();
    EXPECT_TRUE(cancel.LoginShown());
    EXPECT_TRUE(IsWindow(hwnd_));
    EXPECT_TRUE(TrayIconExists(hwnd_));
  }
  test::LoginThenAnswer answerer(kPassword, IDOK);
  // The tray menu's choice arrives as WM_COMMAND with the number of "IDS_EXIT".
  PostMessageW(hwnd_, WM_COMMAND, GetUniqueIdCode(L"IDS_EXIT"), 0);
  bool quit = false;
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd_); }, 5000, &quit));
  EXPECT_EQ(answerer.Finish(), Text(L"IDS_WARNING"));
  EXPECT_FALSE(window_->Tray()->Shown());
  EXPECT_FALSE(TrayIconExists(hwnd_));
  // The destroy ends the message loop.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) quit = quit || message.message == WM_QUIT;
  EXPECT_TRUE(quit);
}

TEST_F(ProgramWindowTest, TrayIconComesBackAfterTaskbarCreated) {
  Open(true);
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = hwnd_;
  data.uID = kTrayIconId;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));  // as if Explorer had restarted
  ASSERT_FALSE(TrayIconExists(hwnd_));
  SendMessageW(hwnd_, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(TrayIconExists(hwnd_));
  // Also when the icon was still there.
  SendMessageW(hwnd_, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(TrayIconExists(hwnd_));
  EXPECT_TRUE(window_->Tray()->Shown());
}

TEST_F(ProgramWindowTest, MenuMatchesTheCommandTable) {
  Open(true);
  HMENU bar = GetMenu(hwnd_);
  ASSERT_NE(bar, nullptr);
  const auto& menus = MainMenuEntries();
  ASSERT_EQ(GetMenuItemCount(bar), static_cast<int>(menus.size()));
  for (size_t m = 0; m < menus.size(); ++m) {
    wchar_t caption[256] = {};
    GetMenuStringW(bar, static_cast<UINT>(m), caption, 256, MF_BYPOSITION);
    EXPECT_EQ(caption, Text(menus[m].stringId));
    HMENU sub = GetSubMenu(bar, static_cast<int>(m));
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(GetMenuItemCount(sub), static_cast<int>(menus[m].items.size())) << m;
    for (size_t i = 0; i < menus[m].items.size(); ++i) {
      const MenuItemEntry& item = menus[m].items[i];
      const UINT state = GetMenuState(sub, static_cast<UINT>(i), MF_BYPOSITION);
      const std::string where = std::to_string(m) + "/" + std::to_string(i);
      if (!item.stringId) {
        EXPECT_TRUE(state & MF_SEPARATOR) << where;
        continue;
      }
      EXPECT_EQ(GetMenuItemID(sub, static_cast<int>(i)), static_cast<UINT>(item.command)) << where;
      EXPECT_EQ((state & MF_GRAYED) != 0, item.greyed) << where;
      GetMenuStringW(sub, static_cast<UINT>(i), caption, 256, MF_BYPOSITION);
      EXPECT_EQ(caption, Text(item.stringId)) << where;
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_DATA;
      ASSERT_TRUE(GetMenuItemInfoW(sub, static_cast<UINT>(i), TRUE, &info));
      ASSERT_NE(info.dwItemData, 0u) << where;
      EXPECT_STREQ(reinterpret_cast<const wchar_t*>(info.dwItemData), item.stringId) << where;
    }
  }
}

TEST_F(ProgramWindowTest, ToolBarButtons) {
  Open(true);
  MvToolBar* toolBar = FindToolBar();
  ASSERT_NE(toolBar, nullptr);
  const auto& entries = ToolbarEntries();
  ASSERT_EQ(SendMessageW(toolBar->hwnd, TB_BUTTONCOUNT, 0, 0), static_cast<LRESULT>(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i) {
    TBBUTTON button{};
    ASSERT_TRUE(SendMessageW(toolBar->hwnd, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)));
    if (entries[i].IsSeparator()) {
      EXPECT_TRUE(button.fsStyle & BTNS_SEP) << i;
      continue;
    }
    const std::wstring name = entries[i].name;
    EXPECT_EQ(button.idCommand, GetUniqueIdCode(entries[i].name)) << i;
    EXPECT_EQ((button.fsState & TBSTATE_ENABLED) != 0, entries[i].enabled) << i;
    EXPECT_GE(button.iBitmap, 0) << i;
    wchar_t text[256] = {};
    SendMessageW(toolBar->hwnd, TB_GETBUTTONTEXTW, button.idCommand, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(text, Text(entries[i].textId)) << i;
  }
  // The bitmaps went into both image lists: 8 buttons.
  EXPECT_EQ(ImageList_GetImageCount(toolBar->images.get()), 8);
  EXPECT_EQ(ImageList_GetImageCount(toolBar->disabledImages.get()), 8);
}

TEST_F(ProgramWindowTest, StatusBarAndComboBoxes) {
  Open(true);
  const int32_t width = window_->Window().width;
  MvStatusBar* statusBar = FindStatusBar();
  ASSERT_NE(statusBar, nullptr);
  EXPECT_EQ(statusBar->GetPartText(0), Text(L"IDS_READY"));
  int parts[4] = {};
  ASSERT_EQ(SendMessageW(statusBar->hwnd, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(parts)), 2);
  EXPECT_EQ(parts[0], width / 2);

  MvComboBox* path = FindComboBox(L"IDC_CBOX_SEARCHPATH");
  ASSERT_NE(path, nullptr);
  EXPECT_FALSE(IsWindowEnabled(path->hwnd));
  EXPECT_EQ(path->width, SearchPathWidth(width));
  EXPECT_EQ(path->GetSelected(), Text(L"IDS_ALLLOCALDRIVES"));
  // The volumes arrive from the enumeration thread through the bridge.
  ASSERT_TRUE(PumpUntil([&] { return window_->Window().GetProperty(L"VolumeEnumerationCompleted") != nullptr; }));
  EXPECT_TRUE(window_->VolumesEnumerated());
  EXPECT_EQ(ComboItems(path->hwnd),
            (std::vector<std::wstring>{Text(L"IDS_BROWSE"), Text(L"IDS_ALLLOCALDRIVES"), L"C:\\", L"D:\\"}));
  EXPECT_STREQ(static_cast<const wchar_t*>(window_->Window().GetProperty(L"VolumeEnumerationCompleted")),
               L"VolumeEnumerationCompleted=True");
  EXPECT_NE(window_->Window().GetProperty(L"THISCOMPUTER"), nullptr);
  EXPECT_EQ(window_->ComboRowHeight(), path->height + 10);

  MvComboBox* filter = FindComboBox(L"IDC_CBOX_SEARCHFILTER");
  ASSERT_NE(filter, nullptr);
  EXPECT_FALSE(IsWindowEnabled(filter->hwnd));
  // A maximised window gets its first WM_SIZE while it is created, so the re-layout has placed it.
  EXPECT_EQ((std::pair<int32_t, int32_t>{filter->x, filter->width}), SearchFilterSpan(width));
  auto config = [](const wchar_t* key) {
    return std::wstring(GetString(true, key, test::ShippedConfiguration()));
  };
  const auto want = SearchFilterItems(config(L"SETTINGS_MUSICFILETYPES"), config(L"SETTINGS_VIDEOFILETYPES"),
                                      config(L"SETTINGS_IMAGEFILETYPES"), [&](const wchar_t* id) { return Text(id); });
  EXPECT_GT(want.items.size(), 6u);
  EXPECT_EQ(ComboItems(filter->hwnd), want.items);
  EXPECT_EQ(filter->GetSelected(), Text(L"IDS_SEARCHFORMUSICVIDEOSOFTWARE"));
}

TEST_F(ProgramWindowTest, RelayoutBy100x50) {
  Open(true);
  MvChildWindow* left = FindChildWindow(L"IDC_LEFTPANEL");
  MvChildWindow* topic = FindChildWindow(L"IDC_PANEL_TOPIC");
  MvListView* list = FindListView(L"IDC_LISTVIEW_P2P");
  ASSERT_TRUE(left && topic && list);
  auto placed = [](const MvControl* control) { return Placement{control->x, control->y, control->width, control->height}; };
  const Placement leftBefore = placed(left), topicBefore = placed(topic), listBefore = placed(list);
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int32_t width = client.right + 100, height = client.bottom + 50;
  SendMessageW(hwnd_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));

  EXPECT_EQ(placed(left), (Placement{0, leftBefore.y, leftBefore.width, leftBefore.height + 50}));
  EXPECT_EQ(placed(topic), (Placement{topicBefore.x, topicBefore.y, topicBefore.width + 100, topicBefore.height + 50}));
  EXPECT_EQ(placed(list), (Placement{listBefore.x, listBefore.y, listBefore.width + 100, listBefore.height + 50}));
  RECT listRect{};
  GetWindowRect(list->hwnd, &listRect);
  EXPECT_EQ(listRect.right - listRect.left, listBefore.width + 100);
  EXPECT_EQ(listRect.bottom - listRect.top, listBefore.height + 50);

  MvComboBox* path = FindComboBox(L"IDC_CBOX_SEARCHPATH");
  MvComboBox* filter = FindComboBox(L"IDC_CBOX_SEARCHFILTER");
  ASSERT_TRUE(path && filter);
  EXPECT_EQ(path->width, SearchPathWidth(width));
  EXPECT_EQ((std::pair<int32_t, int32_t>{filter->x, filter->width}), SearchFilterSpan(width));
  int parts[4] = {};
  ASSERT_EQ(SendMessageW(FindStatusBar()->hwnd, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(parts)), 2);
  EXPECT_EQ(parts[0], width / 2);
  EXPECT_EQ(parts[1], width);

  // Back to the old size: everything returns.
  SendMessageW(hwnd_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  EXPECT_EQ(placed(list), listBefore);
}

TEST_F(ProgramWindowTest, CancelledBrowseReselectsAllLocalDrives) {
  Open(true);
  MvComboBox* path = FindComboBox(L"IDC_CBOX_SEARCHPATH");
  ASSERT_NE(path, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return window_->Window().GetProperty(L"VolumeEnumerationCompleted") != nullptr; }));
  const int browse = static_cast<int>(SendMessageW(path->hwnd, CB_FINDSTRINGEXACT, -1,
                                                   reinterpret_cast<LPARAM>(Text(L"IDS_BROWSE").c_str())));
  ASSERT_GE(browse, 0);
  SendMessageW(path->hwnd, CB_SETCURSEL, browse, 0);
  test::MessageBoxAnswerer answerer(GetCurrentThreadId(), IDCANCEL);
  // What the combo box sends its parent when the user picks an item.
  SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(path->hwnd));
  answerer.Finish();
  EXPECT_TRUE(answerer.Answered()) << "no folder dialog came";
  EXPECT_EQ(path->GetSelected(), Text(L"IDS_ALLLOCALDRIVES"));
  EXPECT_EQ(SendMessageW(path->hwnd, CB_GETCOUNT, 0, 0), 4);  // nothing was added (two drives listed)
}

TEST_F(ProgramWindowTest, MissingLanguageGivesNotSetTextsAndNoCrash) {
  StringTable empty;
  Open(true, &empty);
  wchar_t title[256] = {};
  GetWindowTextW(hwnd_, title, 256);
  EXPECT_STREQ(title, kLanguageNotSet);
  HMENU bar = GetMenu(hwnd_);
  ASSERT_NE(bar, nullptr);
  wchar_t caption[256] = {};
  GetMenuStringW(bar, 0, caption, 256, MF_BYPOSITION);
  EXPECT_STREQ(caption, kLanguageNotSet);
  EXPECT_EQ(FindStatusBar()->GetPartText(0), kLanguageNotSet);
  // A command that looks texts up still works.
  SendWithLogin(WM_COMMAND, GetUniqueIdCode(L"IDS_OPENPROGRAM"), 0);
  EXPECT_TRUE(IsWindowVisible(hwnd_));
}

TEST_F(ProgramWindowTest, MenuCommandsOpenTheirDialogs) {
  Open(true);
  struct {
    int command;
    int answer;  // the button that closes it
    const wchar_t* captionId;
  } cases[] = {{1038, 1005, L"IDS_PROGRAMTITLE"},
               {1043, IDOK, L"IDS_ABOUT"},
               {1037, IDCANCEL, L"IDS_OPTIONS"},
               {1039, IDOK, L"IDS_WELCOMETOTSY"}};
  // The introduction opens from the menu even when it is not wanted at start-up.
  SettingsValue dontShow;
  dontShow.text = L"TRUE";
  settings_.Set(SettingsRoot::CurrentUser, L"SOFTWARE\\Morvane Software\\Tessaly", L"DontShowWelcome", dontShow);
  for (const auto& c : cases) {
    test::MessageBoxAnswerer answerer(GetCurrentThreadId(), c.answer);
    SendMessageW(hwnd_, WM_COMMAND, c.command, 0);
    EXPECT_EQ(answerer.Finish(), Text(c.captionId)) << c.command;
    EXPECT_TRUE(IsWindow(hwnd_)) << "answering ends only the dialog";
  }
}

TEST_F(ProgramWindowTest, HelpCommandsSayWhichHelpFileIsMissing) {
  // A program folder without help files, where the user guide's name is taken by a folder.
  test::TempTree folder;
  const std::wstring programFolder = folder.RootText() + L"\\";
  const std::wstring guideFile = HelpFilePath(programFolder, Text(L"IDS_HELP_CHMFILENAME"));
  folder.AddFolder(std::filesystem::path(guideFile).filename());
  Open(true, nullptr, programFolder);
  const struct {
    int command;
    const wchar_t* fileId;
  } cases[] = {{1040, L"IDS_HELP_CHMFILENAME"},
               {1041, L"IDS_FAQS_CHMFILENAME"},
               {static_cast<int>(GetUniqueIdCode(L"IDC_HELP")), L"IDS_HELP_CHMFILENAME"},
               {static_cast<int>(GetUniqueIdCode(L"IDC_FAQ")), L"IDS_FAQS_CHMFILENAME"}};
  for (const auto& c : cases) {
    test::MessageBoxAnswerer answerer(GetCurrentThreadId());
    SendMessageW(hwnd_, WM_COMMAND, c.command, 0);
    EXPECT_EQ(answerer.Finish(), Text(L"IDS_WARNING")) << c.command;
    ASSERT_TRUE(answerer.Answered()) << c.command;
    const std::wstring file = HelpFilePath(programFolder, Text(c.fileId));
    EXPECT_EQ(answerer.Text(), FormatPrintf(Text(L"IDS_HELPFILENOTFOUND"), file)) << c.command;
    EXPECT_NE(answerer.Text().find(file), std::wstring::npos) << c.command;
  }
}

TEST_F(ProgramWindowTest, CommandsWithNothingToActOnOpenNothing) {
  Open(true);
  // Before any scan, stop, pause, the selection commands and a view have nothing to act on or
  // show: nothing opens and the window stays as it was.
  for (int command : {1033, 1030, 1032, 1028, 1029}) {
    SendMessageW(hwnd_, WM_COMMAND, command, 0);
    EXPECT_EQ(test::FindThreadDialog(GetCurrentThreadId()), nullptr) << command;
    EXPECT_TRUE(IsWindow(hwnd_)) << command;
    EXPECT_FALSE(IsWindowVisible(hwnd_)) << command;
  }
  // "Close and run" hides a shown window.
  SendWithLogin(WM_COMMAND, GetUniqueIdCode(L"IDS_OPENPROGRAM"), 0);
  ASSERT_TRUE(IsWindowVisible(hwnd_));
  SendMessageW(hwnd_, WM_COMMAND, 1025, 0);
  EXPECT_FALSE(IsWindowVisible(hwnd_));
}

TEST_F(ProgramWindowTest, LicenseAgreementShowsTheLicenceForReadingOnly) {
  LoadLibraryW(L"riched20.dll");
  Open(true);
  const std::filesystem::path file = std::filesystem::path(std::wstring(ModuleFolder())) / "LicenseFile.rtf";
  const DWORD thread = GetCurrentThreadId();
  bool found = false, fileWhileOpen = false, optionsVisible = true;
  std::wstring button, text;
  std::thread driver([&] {
    HWND dialog = nullptr;
    for (int i = 0; i < 500 && !(dialog = test::FindThreadDialog(thread)); ++i) Sleep(10);
    if (!dialog) return;
    found = true;
    fileWhileOpen = std::filesystem::exists(file);
    optionsVisible = IsWindowVisible(GetDlgItem(dialog, 1036)) || IsWindowVisible(GetDlgItem(dialog, 1035));
    wchar_t buffer[8192] = {};
    GetDlgItemTextW(dialog, IDOK, buffer, 64);
    button = buffer;
    GetDlgItemTextW(dialog, 1037, buffer, 8192);
    text = buffer;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  });
  SendMessageW(hwnd_, WM_COMMAND, 1042, 0);  // Help > License agreement
  driver.join();
  ASSERT_TRUE(found);
  EXPECT_TRUE(fileWhileOpen) << "the licence is written beside the program while it is shown";
  EXPECT_FALSE(std::filesystem::exists(file)) << "and removed afterwards";
  EXPECT_FALSE(optionsVisible);
  EXPECT_EQ(button, Text(L"IDS_OK"));
  EXPECT_NE(text.find(L"TESSALY END-USER LICENCE AGREEMENT"), std::wstring::npos);
  EXPECT_TRUE(IsWindow(hwnd_));
}

}  // namespace
}  // namespace tessaly
