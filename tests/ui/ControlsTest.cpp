// The control wrappers and the process-level operations, on real controls of a main window.
#include "FrameworkSupport.h"

#include "MvAnimation.h"
#include "MvButton.h"
#include "MvComboBox.h"
#include "MvLabel.h"
#include "MvListView.h"
#include "MvStatusBar.h"
#include "MvToolBar.h"
#include "WinHandles.h"

#include <commctrl.h>

namespace tessaly {
namespace {

using test::EventLog;
using test::MainWindowTest;
using test::PumpMessages;

bool HasVisibleStyle(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

SIZE Extent(HWND window, HFONT font, const std::wstring& line) {
  win::ScopedGetDC dc(window);
  win::ScopedSelectObject selected(dc.get(), font);
  SIZE size{};
  GetTextExtentPoint32W(dc.get(), line.c_str(), static_cast<int>(line.size()), &size);
  return size;
}

TEST_F(MainWindowTest, LabelOfTwoCarriageReturnLinesIsTwoLinesHigh) {
  MvLabel* label = CreateLabel(main_.get(), L"IDC_VIEW_LABEL_BODY", 10, 20);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(FindLabel(main_.get(), L"IDC_VIEW_LABEL_BODY"), label);
  win::UniqueFont font(CreateFontW(20, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma"));
  label->SetFont(font.get());
  label->SetText(L"Short\rA much longer second line\r");

  const SIZE wide = Extent(label->hwnd, font.get(), L"A much longer second line");
  RECT rect{};
  GetWindowRect(label->hwnd, &rect);
  EXPECT_EQ(rect.right - rect.left, wide.cx);
  EXPECT_EQ(rect.bottom - rect.top, 2 * wide.cy);
  EXPECT_EQ(label->height, 2 * wide.cy);
  wchar_t shown[64] = {};
  GetWindowTextW(label->hwnd, shown, 64);
  EXPECT_STREQ(shown, L"Short\rA much longer second line\r");

  // A forced width wins; the same text again changes nothing.
  label->forcedWidth = 57;
  label->SetText(L"Short\rA much longer second line\r");
  GetWindowRect(label->hwnd, &rect);
  EXPECT_EQ(rect.right - rect.left, wide.cx);
  label->SetTextF(L"%d files", 3);
  GetWindowRect(label->hwnd, &rect);
  EXPECT_EQ(rect.right - rect.left, 57);
  EXPECT_EQ(label->text, L"3 files");
}

TEST_F(MainWindowTest, LabelColoursAnswerCtlColorStatic) {
  MvLabel* label = CreateLabel(main_.get(), L"IDC_VIEW_LABEL_HEADLINE", 0, 0);
  ASSERT_NE(label, nullptr);
  label->SetTextColor(RGB(0, 0, 255));
  win::ScopedGetDC dc(main_->hwnd);
  EXPECT_EQ(SendMessageW(main_->hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(label->hwnd)),
            reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH)));
  EXPECT_EQ(GetTextColor(dc.get()), RGB(0, 0, 255));
  label->SetWhiteBackground();
  EXPECT_EQ(SendMessageW(main_->hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(label->hwnd)),
            reinterpret_cast<LRESULT>(label->background));
  EXPECT_NE(label->background, GetStockObject(LTGRAY_BRUSH));
}

TEST_F(MainWindowTest, CheckAllFromBeyondTheLastItemChangesNothing) {
  MvListView* list = CreateListView(L"IDC_LISTVIEW_SHAREDMEDIA", 0, 100, 400, 200);
  ASSERT_NE(list, nullptr);
  SendMessageW(list->hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
  ASSERT_TRUE(list->InsertColumn(L"File", 200));
  ASSERT_TRUE(list->InsertColumn(L"Path", 100));
  EXPECT_EQ(list->columnCount, 2);
  int data = 0;
  EXPECT_EQ(list->AddItem(-1, L"Check all items", 0), 0);
  EXPECT_EQ(list->AddItem(-1, L"song.mp3", reinterpret_cast<LPARAM>(&data)), 1);
  ASSERT_TRUE(list->SetItemText(1, 1, L"C:\\Music"));
  EXPECT_EQ(list->GetItemText(1, 1), L"C:\\Music");
  EXPECT_EQ(list->GetItemData(1), reinterpret_cast<LPARAM>(&data));
  EXPECT_EQ(list->GetItemData(0), 0);
  EXPECT_FALSE(list->IsChecked(0));
  EXPECT_FALSE(list->IsChecked(1));

  list->SetCheckAll(3, true);
  EXPECT_FALSE(list->IsChecked(0));
  EXPECT_FALSE(list->IsChecked(1));
  list->SetCheckAll(1, true);
  EXPECT_FALSE(list->IsChecked(0));
  EXPECT_TRUE(list->IsChecked(1));
  list->SetCheckAll(0, false);
  EXPECT_FALSE(list->IsChecked(1));

  ASSERT_TRUE(list->SetFirstItemText(L"Unselect All"));
  EXPECT_EQ(list->GetItemText(0, 0), L"Unselect All");
  list->SetGreyBackground();
  EXPECT_EQ(SendMessageW(list->hwnd, LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(0x80, 0x80, 0x80)));
  EXPECT_TRUE(list->DeleteItem(0));
  EXPECT_EQ(list->ItemCount(), 1);

  // A list view of a dialog is wrapped, not registered.
  MvListView wrapped(L"IDC_LIST", list->hwnd);
  EXPECT_EQ(wrapped.ItemCount(), 1);
  EXPECT_EQ(FindListView(L"IDC_LIST"), nullptr);
  EXPECT_EQ(FindListView(L"IDC_LISTVIEW_SHAREDMEDIA"), list);
}

TEST_F(MainWindowTest, ToolBarSeparatorAndDisabledButton) {
  MvToolBar* bar = CreateToolBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(FindToolBar(), bar);
  ASSERT_TRUE(bar->InitImages());
  const int side = ToolBarImageSize();
  win::ScopedGetDC screen(nullptr);
  win::UniqueBitmap picture(CreateCompatibleBitmap(screen.get(), side, side));
  win::UniqueBitmap greyed(CreateCompatibleBitmap(screen.get(), side, side));

  ASSERT_TRUE(bar->AddButton(L"Rescan", 5002, picture.get(), greyed.get(), false));
  ASSERT_TRUE(bar->AddButton(nullptr, 0, nullptr, nullptr, true));
  ASSERT_TRUE(bar->AddButton(L"Help", 5003, picture.get(), picture.get(), true));
  ASSERT_TRUE(bar->AddButton(L"No image", 5004, nullptr, nullptr, true));
  EXPECT_EQ(bar->buttonCount, 4);
  EXPECT_EQ(SendMessageW(bar->hwnd, TB_BUTTONCOUNT, 0, 0), 4);

  struct Case {
    int index;
    bool separator;
    int command;
    bool enabled;
    int image;
  } cases[] = {
      {0, false, 5002, false, 0},
      {1, true, 0, true, 0},
      {2, false, 5003, true, 1},
      {3, false, 5004, true, I_IMAGENONE},
  };
  for (const Case& c : cases) {
    TBBUTTON button{};
    ASSERT_TRUE(SendMessageW(bar->hwnd, TB_GETBUTTON, c.index, reinterpret_cast<LPARAM>(&button))) << c.index;
    EXPECT_EQ((button.fsStyle & BTNS_SEP) != 0, c.separator) << c.index;
    if (c.separator) continue;
    EXPECT_EQ(button.idCommand, c.command) << c.index;
    EXPECT_EQ(bar->IsButtonEnabled(c.command), c.enabled) << c.index;
    EXPECT_EQ(button.iBitmap, c.image) << c.index;
    EXPECT_EQ(button.dwData, reinterpret_cast<DWORD_PTR>(bar)) << c.index;
  }
  EXPECT_EQ(ImageList_GetImageCount(bar->images.get()), 2);
  EXPECT_EQ(ImageList_GetImageCount(bar->disabledImages.get()), 2);
  wchar_t caption[32] = {};
  SendMessageW(bar->hwnd, TB_GETBUTTONTEXTW, 5003, reinterpret_cast<LPARAM>(caption));
  EXPECT_STREQ(caption, L"Help");
  EXPECT_GT(bar->height, 0) << "the toolbar sized itself";
  EXPECT_TRUE(bar->EnableButton(5002, true));
  EXPECT_TRUE(bar->IsButtonEnabled(5002));
}

TEST_F(MainWindowTest, ChildWindowIsCentredInItsParentAndRegistered) {
  ASSERT_TRUE(SetWindowPos(main_->hwnd, nullptr, 0, 0, 800, 600, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE));
  MvChildWindow* child = CreateChildWindow(false, L"IDD_SCANINPROGRESSWINDOW", -1, 0, 200, 100, 0, RGB(255, 255, 255));
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->x, 300);
  EXPECT_EQ(child->y, 250);
  RECT rect{};
  GetWindowRect(child->hwnd, &rect);
  MapWindowPoints(nullptr, main_->hwnd, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 300);
  EXPECT_EQ(rect.top, 250);
  EXPECT_EQ(GetParent(child->hwnd), main_->hwnd);
  EXPECT_EQ(FindChildWindow(L"IDD_SCANINPROGRESSWINDOW"), child);
  EXPECT_EQ(child->events.Namespace(), L"{NS:IDD_SCANINPROGRESSWINDOW}");
  EXPECT_TRUE(HasVisibleStyle(child->hwnd));

  // A non-negative x is taken as given.
  MvChildWindow* placed = CreateChildWindow(false, L"IDC_LEFTPANEL", 0, 70, 150, 400, WS_BORDER, 0);
  ASSERT_NE(placed, nullptr);
  EXPECT_EQ(placed->x, 0);
  EXPECT_EQ(placed->y, 70);
  EXPECT_EQ(placed->background, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

TEST_F(MainWindowTest, ShowGroupMatchesGroupPrefixesOfShowableKinds) {
  MvListView* music = CreateListView(L"IDC_LISTVIEW_SHAREDMEDIA", 0, 100, 100, 100);
  MvListView* images = CreateListView(L"IDC_LISTVIEW_SHAREDIMAGES", 0, 100, 100, 100);
  MvListView* p2p = CreateListView(L"IDC_LISTVIEW_P2P", 0, 100, 100, 100);
  MvLabel* headline = CreateLabel(main_.get(), L"IDC_VIEW_LABEL_HEADLINE", 0, 0);
  MvComboBox* combo = CreateComboBox(L"IDC_CBOX_SEARCHFILTER", 0, 100, CBS_DROPDOWNLIST);
  ASSERT_TRUE(music && images && p2p && headline && combo);
  music->AddToGroup(L"GROUP_LISTVIEW_SHAREDMEDIA[0]");
  images->AddToGroup(L"GROUP_LISTVIEW_SHAREDMEDIA[1]");
  p2p->AddToGroup(L"GROUP_LISTVIEW_P2P");
  headline->AddToGroup(L"GROUP_LISTVIEW_SHAREDMEDIA[0]");
  combo->AddToGroup(L"GROUP_LISTVIEW_SHAREDMEDIA");  // combo boxes are not touched by groups
  EXPECT_STREQ(music->GetGroupName(), L"GROUP_LISTVIEW_SHAREDMEDIA[0]");
  EXPECT_STREQ(combo->GetGroupName(), L"GROUP_LISTVIEW_SHAREDMEDIA");
  EventLog musicShown;
  musicShown.WatchBinary(music->events, kEventUiControlShow);

  ShowGroup(SW_HIDE, L"GROUP_LISTVIEW_SHAREDMEDIA");
  struct Case {
    MvControl* control;
    bool want;
  } hidden[] = {{music, false}, {images, false}, {headline, false}, {p2p, true}, {combo, true}};
  for (const Case& c : hidden) {
    EXPECT_EQ(HasVisibleStyle(c.control->hwnd), c.want) << "after hide: " << static_cast<int>(c.control->Kind());
    EXPECT_EQ(c.control->visible != 0, c.want);
  }
  ShowGroup(SW_SHOWNORMAL, L"GROUP_LISTVIEW_SHAREDMEDIA[1]");
  EXPECT_TRUE(HasVisibleStyle(images->hwnd));
  EXPECT_FALSE(HasVisibleStyle(music->hwnd));
  ShowGroup(SW_SHOWNORMAL, L"group_listview_sharedmedia");  // case-sensitive
  EXPECT_FALSE(HasVisibleStyle(music->hwnd));
  ShowGroup(SW_SHOWNORMAL, L"GROUP_LISTVIEW_SHAREDMEDIA[0]");
  EXPECT_TRUE(HasVisibleStyle(music->hwnd));
  EXPECT_TRUE(HasVisibleStyle(headline->hwnd));
  EXPECT_EQ(musicShown.data, (std::vector<void*>{reinterpret_cast<void*>(SW_HIDE), reinterpret_cast<void*>(SW_SHOWNORMAL)}));
}

TEST_F(MainWindowTest, ButtonTracksHoverAndPressAndRaisesClicked) {
  MvButton* button = CreateButton(main_.get(), 10, 200, 130, 80, L"IDC_BTN_VIEW_MAINMENU");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(FindButton(L"IDC_BTN_VIEW_MAINMENU"), button);
  button->SetOwnerDraw();
  EXPECT_EQ(button->style, 11u);
  EXPECT_NE(GetWindowLongW(button->hwnd, GWL_STYLE) & BS_OWNERDRAW, 0);
  EventLog clicked, commands;
  clicked.WatchString(button->events, kEventBtnClicked);
  commands.WatchString(main_->events, kEventMenuItemClicked);

  SendMessageW(button->hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(button->hover, 1u);
  SendMessageW(button->hwnd, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(button->hover, 0u);
  SendMessageW(button->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(button->pressed, 1u);
  EXPECT_TRUE(clicked.texts.empty());
  SendMessageW(button->hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(button->pressed, 0u);
  EXPECT_EQ(clicked.texts, std::vector<std::wstring>{L"ButtonClicked"});
  PumpMessages();
  // The button's own notification reaches the parent as a command of id 0.
  for (const std::wstring& name : commands.texts) EXPECT_EQ(name, L"{IdCodeNotFound}");
}

TEST_F(MainWindowTest, ButtonPaintsOffScreen) {
  ShowWindow(main_->hwnd, SW_SHOWNOACTIVATE);
  MvButton* button = CreateButton(main_.get(), 10, 10, 130, 80, L"IDC_BTN_VIEW_FILESHARINGSOFTWARE");
  ASSERT_NE(button, nullptr);
  button->SetOwnerDraw();
  struct Seen {
    int paints = 0;
    DWORD dcType = 0;
    LONG bitmapWidth = 0, bitmapHeight = 0;
  } seen;
  button->events.AddBinaryEventProc(
      kEventBtnPaint,
      [](void* data, void* context) {
        const auto* paint = static_cast<PAINTSTRUCT*>(data);
        auto* s = static_cast<Seen*>(context);
        ++s->paints;
        s->dcType = GetObjectType(paint->hdc);
        BITMAP bitmap{};
        GetObjectW(GetCurrentObject(paint->hdc, OBJ_BITMAP), sizeof bitmap, &bitmap);
        s->bitmapWidth = bitmap.bmWidth;
        s->bitmapHeight = bitmap.bmHeight;
        win::UniqueBrush red(CreateSolidBrush(RGB(255, 0, 0)));
        RECT all{0, 0, bitmap.bmWidth, bitmap.bmHeight};
        FillRect(paint->hdc, &all, red.get());
        return 0;
      },
      &seen);
  InvalidateRect(button->hwnd, nullptr, FALSE);
  UpdateWindow(button->hwnd);
  ASSERT_GE(seen.paints, 1);
  EXPECT_EQ(seen.dcType, static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_EQ(seen.bitmapWidth, 130);
  EXPECT_EQ(seen.bitmapHeight, 80);
  RECT update{};
  EXPECT_FALSE(GetUpdateRect(button->hwnd, &update, FALSE)) << "the paint validated the button";
  ShowWindow(main_->hwnd, SW_HIDE);
}

TEST_F(MainWindowTest, StatusBarAnimationAndEnable) {
  MvStatusBar* status = CreateStatusBar();
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(FindStatusBar(), status);
  ASSERT_TRUE(status->SetParts({400, 800}));
  ASSERT_TRUE(status->SetPartText(0, L"Ready"));
  EXPECT_EQ(status->GetPartText(0), L"Ready");
  EXPECT_EQ(SendMessageW(status->hwnd, SB_GETPARTS, 0, 0), 2);

  MvChildWindow* panel = CreateChildWindow(true, L"IDD_PROGRESS", 0, 0, 400, 100, 0, 0);
  ASSERT_NE(panel, nullptr);
  MvAnimation* animation = CreateAnimation(panel, 5, 5);
  ASSERT_NE(animation, nullptr);
  EXPECT_EQ(FindAnimation(panel), animation);
  EXPECT_EQ(FindAnimation(main_.get()), nullptr) << "registered in the window it was made in";
  EXPECT_EQ(animation->width, 80);
  EXPECT_EQ(animation->height, 50);

  animation->Enable(false);
  EXPECT_EQ(animation->enabled, 0);
  EXPECT_FALSE(IsWindowEnabled(animation->hwnd));
  animation->Enable(true);
  EXPECT_TRUE(IsWindowEnabled(animation->hwnd));

  main_->SetProperty(L"CurrentlyShownListView", animation);
  main_->SetProperty(L"CurrentlyShownListView", status);
  EXPECT_EQ(main_->GetProperty(L"CurrentlyShownListView"), status);
  EXPECT_EQ(main_->properties.count, 1u);
  EXPECT_EQ(main_->GetProperty(L"currentlyshownlistview"), nullptr);
}

TEST_F(MainWindowTest, EditableComboGivesItsTypedText) {
  MvComboBox* combo = CreateComboBox(L"IDC_CBOX_SEARCHPATH", 0, 300, CBS_DROPDOWN | WS_VSCROLL);
  ASSERT_NE(combo, nullptr);
  SetWindowTextW(combo->hwnd, L"C:\\Users\\Music");
  EXPECT_STREQ(combo->GetText(), L"C:\\Users\\Music");
  SetWindowTextW(combo->hwnd, L"D:\\");
  EXPECT_STREQ(combo->GetText(), L"D:\\");
}

}  // namespace
}  // namespace tessaly
