// The framework window procedure: messages become named events on the window or control concerned.
#include "FrameworkSupport.h"

#include "LogCapture.h"
#include "MvComboBox.h"
#include "MvListView.h"
#include "MvTabControl.h"

#include <commctrl.h>

namespace tessaly {
namespace {

using test::EventLog;
using test::MainWindowTest;
using test::PumpMessages;

// A window of a framework-procedure class created without an object.
HWND CreateObjectlessWindow() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MvChildWindow::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TessalyObjectlessTest";
    return RegisterClassExW(&windowClass) != 0;
  }();
  if (!registered) return nullptr;
  return CreateWindowExW(0, L"TessalyObjectlessTest", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

TEST(WindowProc, WithoutObjectMessagesGoToTheDefaultAndDestroyStillQuits) {
  PumpMessages();
  HWND window = CreateObjectlessWindow();
  ASSERT_NE(window, nullptr);
  // The default procedure keeps the text and, for WM_CLOSE, destroys the window.
  SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"default"));
  wchar_t text[32] = {};
  GetWindowTextW(window, text, 32);
  EXPECT_STREQ(text, L"default");

  test::LogCapture log;
  EXPECT_EQ(MvChildWindow::WindowProc(window, WM_DESTROY, 0, 0), 1);
  EXPECT_EQ(log.Count(L"MvChildWindow Received Quit/Destroy message(2)\r\n"), 1u);
  EXPECT_EQ(PumpMessages(), 1) << "WM_DESTROY without an object posts the quit message";

  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(PumpMessages(), 1);
}

TEST(WindowProc, CreateStoresHandleAndClientSizeBeforeTheEvent) {
  struct Seen {
    HWND hwnd = nullptr;
    int32_t width = -1;
    std::wstring text;
    MvChildWindow* window = nullptr;
  } seen;
  PumpMessages();
  auto owned = std::make_unique<MvChildWindow>(L"Created");
  MvChildWindow& window = *owned;
  seen.window = &window;
  window.events.AddStringEventProc(
      kEventWmCreate,
      [](const wchar_t* text, void* context) {
        auto* s = static_cast<Seen*>(context);
        s->hwnd = s->window->hwnd;
        s->width = s->window->width;
        s->text = text;
      },
      &seen);
  test::LogCapture log;
  ASSERT_TRUE(window.Create(nullptr, 10, 20, 300, 200, WS_POPUP));
  EXPECT_EQ(seen.hwnd, window.hwnd);
  RECT client{};
  GetClientRect(window.hwnd, &client);
  EXPECT_EQ(seen.width, client.right);
  EXPECT_EQ(seen.text, L"WM_CREATE");
  EXPECT_EQ(log.CountContaining(L"Begin, Accessing WM_CREATE for event handlers, "), 1u);
  EXPECT_EQ(window.events.Namespace(), L"{NS:Created}");
  // Stored placement is the requested one; not visible without WS_VISIBLE.
  EXPECT_EQ(window.x, 10);
  EXPECT_EQ(window.width, 300);
  EXPECT_EQ(window.visible, 0);
  owned.reset();
  EXPECT_EQ(PumpMessages(), 1) << "destroying a framework window ends the message loop";
}

TEST_F(MainWindowTest, DestroyRaisesTheEventPostsQuitAndReturnsOne) {
  EventLog destroyed;
  destroyed.WatchString(main_->events, kEventWmDestroy);
  PumpMessages();
  EXPECT_EQ(SendMessageW(main_->hwnd, WM_DESTROY, 0, 0), 1);
  EXPECT_EQ(destroyed.texts, std::vector<std::wstring>{L"WM_DESTROY"});
  EXPECT_EQ(PumpMessages(), 1);
}

TEST_F(MainWindowTest, CloseReturnsTheHandlersResultAndKeepsTheWindow) {
  EXPECT_EQ(SendMessageW(main_->hwnd, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(main_->hwnd)) << "without a handler the window stays too";
  EventLog closed;
  closed.result = 1;
  closed.WatchBinary(main_->events, kEventWmClose);
  EXPECT_EQ(SendMessageW(main_->hwnd, WM_CLOSE, 0, 0), 1);
  ASSERT_EQ(closed.data.size(), 1u);
  EXPECT_STREQ(static_cast<const wchar_t*>(closed.data[0]), L"WM_CLOSE");
  EXPECT_TRUE(IsWindow(main_->hwnd));
}

TEST_F(MainWindowTest, MoveStoresSignedPositionSizeLeavesStoredSize) {
  EventLog moved, sized;
  moved.WatchBinary(main_->events, kEventWmMove);
  sized.WatchBinary(main_->events, kEventWmSize);
  const int32_t widthBefore = main_->width;
  SendMessageW(main_->hwnd, WM_MOVE, 0, MAKELPARAM(-8, 40));
  EXPECT_EQ(main_->x, -8);
  EXPECT_EQ(main_->y, 40);
  ASSERT_EQ(moved.data.size(), 1u);
  EXPECT_EQ(reinterpret_cast<LPARAM>(moved.data[0]), MAKELPARAM(-8, 40));
  SendMessageW(main_->hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 50));
  ASSERT_EQ(sized.data.size(), 1u);
  EXPECT_EQ(reinterpret_cast<LPARAM>(sized.data[0]), MAKELPARAM(100, 50));
  EXPECT_EQ(main_->width, widthBefore);
}

TEST_F(MainWindowTest, SystemCommandsTrayAndScrollMessagesRaiseTheirEvents) {
  EventLog minimized, dblclk, rbutton, scroll, taskbar, copied;
  minimized.WatchBinary(main_->events, kEventScMinimize);
  dblclk.WatchString(main_->events, kEventSystrayLButtonDblClk);
  rbutton.WatchString(main_->events, kEventSystrayRButtonUp);
  scroll.WatchBinary(main_->events, kEventVerticalScroll);
  taskbar.WatchString(main_->events, kEventTaskbarCreated);
  copied.WatchBinary(main_->events, kEventWmCopyData);

  struct Seen {
    WPARAM wParam = 0;
    LPARAM lParam = 0;
  } seenScroll;
  main_->events.AddBinaryEventProc(
      kEventVerticalScroll,
      [](void* data, void* context) {
        const auto* payload = static_cast<VerticalScrollPayload*>(data);
        *static_cast<Seen*>(context) = {payload->wParam, payload->lParam};
        return 0;
      },
      &seenScroll);

  // The low four bits of a system command belong to the system.
  SendMessageW(main_->hwnd, WM_SYSCOMMAND, SC_MINIMIZE | 2, 0);
  EXPECT_EQ(minimized.data.size(), 1u);
  ShowWindow(main_->hwnd, SW_HIDE);
  SendMessageW(main_->hwnd, kSystrayCallbackMessage, 0, WM_LBUTTONDBLCLK);
  SendMessageW(main_->hwnd, kSystrayCallbackMessage, 0, WM_RBUTTONUP);
  SendMessageW(main_->hwnd, kSystrayCallbackMessage, 0, WM_MOUSEMOVE);  // raises nothing
  EXPECT_EQ(dblclk.texts, std::vector<std::wstring>{L"WM_LBUTTONDBLCLK"});
  EXPECT_EQ(rbutton.texts, std::vector<std::wstring>{L"WM_RBUTTONUP"});

  SendMessageW(main_->hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 100), 0);
  EXPECT_EQ(scroll.data.size(), 1u);
  EXPECT_EQ(seenScroll.wParam, static_cast<WPARAM>(MAKEWPARAM(SB_THUMBTRACK, 100)));

  SendMessageW(main_->hwnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(taskbar.texts, std::vector<std::wstring>{L"TaskbarCreated"});

  COPYDATASTRUCT copy{1, 0, nullptr};
  EXPECT_EQ(SendMessageW(main_->hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)), 1);
  ASSERT_EQ(copied.data.size(), 1u);
  EXPECT_EQ(copied.data[0], &copy);
}

TEST_F(MainWindowTest, CommandsArriveByNameFromMenuDataOrIdCodes) {
  EventLog clicked;
  clicked.WatchString(main_->events, kEventMenuItemClicked);
  const int32_t open = GetUniqueIdCode(L"IDS_OPENPROGRAM");

  // A menu whose item carries its string ID as data (as the localised menu does).
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, 1026, L"Exit");
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(L"IDS_EXIT");
  SetMenuItemInfoW(file, 1026, FALSE, &info);
  AppendMenuW(file, MF_STRING, 1027, L"No data");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"File");
  ASSERT_TRUE(SetMenu(main_->hwnd, bar));

  struct Case {
    WPARAM wParam;
    const wchar_t* want;
  } cases[] = {
      {1026, L"IDS_EXIT"},                        // item data of the window's menu
      {static_cast<WPARAM>(open), L"IDS_OPENPROGRAM"},  // not in the menu: the idCodes
      {1027, L"{IdCodeNotFound}"},                // in the menu without data, not in idCodes
      {MAKEWPARAM(open, 1), L"IDS_OPENPROGRAM"},  // accelerator
  };
  for (const Case& c : cases) {
    clicked.texts.clear();
    SendMessageW(main_->hwnd, WM_COMMAND, c.wParam, 0);
    EXPECT_EQ(clicked.texts, std::vector<std::wstring>{c.want}) << c.wParam;
  }
  SetMenu(main_->hwnd, nullptr);
  DestroyMenu(bar);
}

TEST_F(MainWindowTest, CommandHandlerMayDestroyTheWindow) {
  // As "Exit" does: the handler destroys the window that is still handling the command.
  main_->events.AddStringEventProc(
      kEventMenuItemClicked, [](const wchar_t*, void* context) { DestroyWindow(static_cast<MvChildWindow*>(context)->hwnd); },
      main_.get());
  EventLog destroyed;
  destroyed.WatchString(main_->events, kEventWmDestroy);
  HWND window = main_->hwnd;
  PumpMessages();
  SendMessageW(window, WM_COMMAND, static_cast<WPARAM>(GetUniqueIdCode(L"IDS_EXIT")), 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(main_->hwnd, nullptr);
  EXPECT_EQ(destroyed.texts.size(), 1u);
  EXPECT_EQ(PumpMessages(), 1);
}

TEST_F(MainWindowTest, ComboSelectionRaisesOnTheComboWithItsText) {
  MvComboBox* combo = CreateComboBox(L"IDC_CBOX_SEARCHPATH", 0, 200, CBS_DROPDOWNLIST | WS_VSCROLL);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->y, 50);
  EXPECT_EQ(combo->height, 20);
  EXPECT_STREQ(combo->GetSelected(), L"{Error, can not get selected CBox item}");
  combo->AddString(L"Browse...");
  combo->AddString(L"All local drives");
  EXPECT_EQ(combo->SelectString(L"All local drives"), 1);

  EventLog selected, windowClicks;
  selected.WatchString(combo->events, kEventCbnSelChanged);
  windowClicks.WatchString(main_->events, kEventMenuItemClicked);
  SendMessageW(main_->hwnd, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo->hwnd));
  EXPECT_EQ(selected.texts, std::vector<std::wstring>{L"All local drives"});
  EXPECT_TRUE(windowClicks.texts.empty());
  // Any other notification of a control is a command of its (unknown) id.
  SendMessageW(main_->hwnd, WM_COMMAND, MAKEWPARAM(0, CBN_DROPDOWN), reinterpret_cast<LPARAM>(combo->hwnd));
  EXPECT_EQ(windowClicks.texts, std::vector<std::wstring>{L"{IdCodeNotFound}"});
}

TEST_F(MainWindowTest, NotificationsReachRegisteredControlsOnly) {
  MvListView* list = CreateListView(L"IDC_LISTVIEW_P2P", 0, 100, 400, 200);
  ASSERT_NE(list, nullptr);
  EventLog clickB, clickS, drawn, columns;
  clickB.WatchBinary(list->events, kEventLvnClick);
  clickS.WatchString(list->events, kEventLvnClick);
  columns.WatchBinary(list->events, kEventLvnColumnClick);
  drawn.result = CDRF_NOTIFYITEMDRAW;
  drawn.WatchBinary(list->events, kEventCustomDraw);

  NMITEMACTIVATE click{};
  click.hdr = {list->hwnd, 0, static_cast<UINT>(NM_CLICK)};
  SendMessageW(main_->hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(clickB.data, std::vector<void*>{&click});
  EXPECT_EQ(clickS.texts, std::vector<std::wstring>{L"IDC_LISTVIEW_P2P"});

  NMLVCUSTOMDRAW draw{};
  draw.nmcd.hdr = {list->hwnd, 0, static_cast<UINT>(NM_CUSTOMDRAW)};
  draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  EXPECT_EQ(SendMessageW(main_->hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw)), CDRF_NOTIFYITEMDRAW);

  NMLISTVIEW column{};
  column.hdr = {list->hwnd, 0, static_cast<UINT>(LVN_COLUMNCLICK)};
  column.iSubItem = 2;
  SendMessageW(main_->hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&column));
  EXPECT_EQ(columns.data, std::vector<void*>{&column});

  // The same notifications from a list view nobody registered raise nothing.
  HWND stranger = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 10, 10, main_->hwnd, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(stranger, nullptr);
  click.hdr.hwndFrom = stranger;
  draw.nmcd.hdr.hwndFrom = stranger;
  SendMessageW(main_->hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(SendMessageW(main_->hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw)), 0);
  EXPECT_EQ(clickB.data.size(), 1u);
  EXPECT_EQ(clickS.texts.size(), 1u);
  EXPECT_EQ(drawn.data.size(), 1u);
  DestroyWindow(stranger);
}

TEST_F(MainWindowTest, TabChangesCarryTheTabLeftAndTheTabEntered) {
  MvTabControl* tab = CreateTabControl(0, 80, 300, L"IDS_SHAREDMEDIA_TAB");
  ASSERT_NE(tab, nullptr);
  EXPECT_EQ(tab->height, 30);
  ASSERT_TRUE(tab->AddTab(L"Music and video"));
  ASSERT_TRUE(tab->AddTab(L"Images"));
  EXPECT_EQ(tab->tabCount, 2);
  EventLog changingB, changingS, changeS;
  changingB.WatchBinary(tab->events, kEventTcnSelChanging);
  changingS.WatchString(tab->events, kEventTcnSelChanging);
  changeS.WatchString(tab->events, kEventTcnSelChange);

  NMHDR header{tab->hwnd, 0, static_cast<UINT>(TCN_SELCHANGING)};
  SendMessageW(main_->hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  ASSERT_TRUE(tab->SelectTab(1));
  header.code = static_cast<UINT>(TCN_SELCHANGE);
  SendMessageW(main_->hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(changingB.data, std::vector<void*>{tab});
  EXPECT_EQ(changingS.texts, std::vector<std::wstring>{L"Music and video"});
  EXPECT_EQ(changeS.texts, std::vector<std::wstring>{L"Images"});
}

}  // namespace
}  // namespace tessaly
