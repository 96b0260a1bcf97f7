#include "ScanViews.h"

#include "DebugLog.h"
#include "Framework.h"
#include "MvButton.h"
#include "MvChildWindow.h"
#include "MvLabel.h"
#include "MvListView.h"
#include "MvTabControl.h"
#include "MvToolBar.h"
#include "ScanRecords.h"
#include "ScanRun.h"
#include "Win32Check.h"

#include <commctrl.h>
#include <shellapi.h>

#include <unordered_map>

namespace tessaly {
namespace {

constexpr wchar_t kSelectedProperty[] = L"IsSelectedForView";
constexpr wchar_t kChildrenGroupProperty[] = L"ChildrenGroupName";
constexpr COLORREF kGrey = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);

// Fonts, brushes and pens of the views: made once per process when first needed, kept to its end.
HFONT SharedFont(int height, int weight) {
  struct Key {
    int height, weight;
    win::UniqueFont font;
  };
  static std::vector<Key> fonts;
  const int scaled = SystemDpiScale().Scale(height);
  for (const Key& key : fonts) {
    if (key.height == scaled && key.weight == weight) return key.font.get();
  }
  HFONT font = win::CheckedHandle(FrameworkError(),
                                  CreateFontW(scaled, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma"),
                                  L"CreateFontW", L"Tahoma");
  fonts.push_back({scaled, weight, win::UniqueFont(font)});
  return font;
}

HBRUSH SharedBrush(COLORREF colour) {
  struct Key {
    COLORREF colour;
    win::UniqueBrush brush;
  };
  static std::vector<Key> brushes;
  for (const Key& key : brushes) {
    if (key.colour == colour) return key.brush.get();
  }
  HBRUSH brush = win::CheckedHandle(FrameworkError(), CreateSolidBrush(colour), L"CreateSolidBrush");
  brushes.push_back({colour, win::UniqueBrush(brush)});
  return brush;
}

HPEN SharedPen(int width, COLORREF colour) {
  struct Key {
    int width;
    COLORREF colour;
    win::UniquePen pen;
  };
  static std::vector<Key> pens;
  for (const Key& key : pens) {
    if (key.width == width && key.colour == colour) return key.pen.get();
  }
  HPEN pen = win::CheckedHandle(FrameworkError(), CreatePen(PS_SOLID, width, colour), L"CreatePen");
  pens.push_back({width, colour, win::UniquePen(pen)});
  return pen;
}

// Outline of rect drawn inset pixels inside its edge, without filling.
void Outline(HDC dc, const RECT& rect, HPEN pen, int inset) {
  win::ScopedSelectObject selectedPen(dc, pen);
  win::ScopedSelectObject noFill(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, rect.left + inset, rect.top + inset, rect.right - inset, rect.bottom - inset);
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

// TransparentBlt of the whole bitmap at (x, y), white transparent.
void DrawTransparent(HDC dc, HBITMAP bitmap, int x, int y) {
  const SIZE size = BitmapSize(bitmap);
  win::UniqueMemoryDc source(CreateCompatibleDC(dc));
  if (!win::CheckWin32(FrameworkError(), source.get() != nullptr, L"CreateCompatibleDC", L"bitmap")) return;
  win::ScopedSelectObject selected(source.get(), bitmap);
  win::CheckWin32(FrameworkError(),
                  TransparentBlt(dc, x, y, size.cx, size.cy, source.get(), 0, 0, size.cx, size.cy, kWhite) != FALSE,
                  L"TransparentBlt", L"view bitmap");
}

void DrawLabel(HDC dc, const wchar_t* text, HFONT font, RECT rect, UINT format) {
  if (!text) return;
  win::ScopedSelectObject selected(dc, font);
  DrawTextW(dc, text, -1, &rect, format);
}

const wchar_t* TextProperty(const MvControl& control, const wchar_t* name) {
  return static_cast<const wchar_t*>(control.GetProperty(name));
}

ScanFile* RecordOf(const MvListView& list, int item) {
  return reinterpret_cast<ScanFile*>(list.GetItemData(item));
}

unsigned StateImage(const MvListView& list, int item) {
  return static_cast<unsigned>(SendMessageW(list.hwnd, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK)) >> 12;
}

// What the comparison reads of each row, gathered before the sort: LVM_SORTITEMS hands the
// callback item data, and reading cells while the list reorders itself is not reliable.
struct SortContext {
  int column;
  int direction;
  std::unordered_map<LPARAM, std::wstring> texts;  // item data -> cell text (one check-all row: 0)
};

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM parameter) {
  const auto& sort = *reinterpret_cast<const SortContext*>(parameter);
  auto keyOf = [&sort](LPARAM data) {
    SortKey key;
    if (const auto* file = reinterpret_cast<const ScanFile*>(data)) key.size = file->size;
    if (auto found = sort.texts.find(data); found != sort.texts.end()) key.text = found->second;
    return key;
  };
  return CompareForSort(sort.column, sort.direction, keyOf(first), keyOf(second));
}

MvListView* ListOfPage(const std::wstring& page) {
  for (const ListViewSpec& spec : ListViewSpecs()) {
    if (page == spec.group) return FindListView(spec.name);
  }
  return nullptr;
}

}  // namespace

bool RecordFlag(const ScanFile* file, const wchar_t* property) {
  if (!file || !file->properties) return false;
  const MvListEntry* entry = file->properties->Find(property);
  if (!entry || !entry->value) return false;
  if (entry->value == kTrue) return true;
  if (entry->value == kFalse) return false;
  return true;
}

void RemoveBelongingItems(MvListView& list, const ScanFile* programFile) {
  for (int item = 0; item < list.ItemCount();) {
    const ScanFile* file = RecordOf(list, item);
    const MvListEntry* belonging =
        file && file->properties ? file->properties->Find(L"BelongingP2pProgramFile") : nullptr;
    if (belonging && belonging->value == programFile && list.DeleteItem(item)) continue;  // same index again
    ++item;
  }
}

ScanViews::ScanViews(Setup setup) : setup_(std::move(setup)) {}

ScanViews::~ScanViews() {
  // The P2P list shares its image list (LVS_SHAREIMAGELISTS): detach it before it goes.
  if (p2pList_ && p2pList_->hwnd && IsWindow(p2pList_->hwnd)) SendMessageW(p2pList_->hwnd, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
}

std::wstring ScanViews::Text(const wchar_t* id) const { return GetString(false, id, *setup_.language); }

HBITMAP ScanViews::LoadBitmapResource(int resource) {
  const DpiScale& dpi = setup_.dpi;
  HBITMAP bitmap = nullptr;
  if (dpi.Dpi() == kDefaultDpi) {
    bitmap = LoadBitmapW(setup_.instance, MAKEINTRESOURCEW(resource));
  } else {
    win::UniqueBitmap original(LoadBitmapW(setup_.instance, MAKEINTRESOURCEW(resource)));
    const SIZE size = BitmapSize(original.get());
    bitmap = static_cast<HBITMAP>(LoadImageW(setup_.instance, MAKEINTRESOURCEW(resource), IMAGE_BITMAP,
                                             dpi.Scale(size.cx), dpi.Scale(size.cy), 0));
  }
  win::CheckWin32(FrameworkError(), bitmap != nullptr, L"LoadBitmapW", FormatPrintf(L"bitmap %d", resource));
  bitmaps_.emplace_back(bitmap);
  return bitmap;
}

void ScanViews::Build(const ViewFrame& frame) {
  const ViewPlacements p = ComputeViewPlacements(frame, setup_.dpi, true, true);
  BuildLeftPanel(p);
  BuildTopicPanel(p);
  BuildLists(p);
  BuildTabs(p);
  Show(ResultView::MainMenu);
}

// One owner-drawn button of the left or the topic panel, painted by painter and reporting its
// click through click.
MvButton* ScanViews::AddPanelButton(MvChildWindow* panel, const Box& at, const wchar_t* name,
                                    int32_t (*painter)(void*, void*), Click click) {
  MvButton* button = CreateButton(panel, at.x, at.y, at.width, at.height, name);
  if (!button) return nullptr;
  button->SetOwnerDraw();
  button->events.AddBinaryEventProc(kEventBtnPaint, painter, button);
  clicks_.push_back(std::make_unique<Click>(click));
  button->events.AddStringEventProc(kEventBtnClicked, OnButtonClicked, clicks_.back().get());
  return button;
}

// The property list holds plain pointers: the texts live in texts_.
void ScanViews::SetTextProperty(MvButton& button, const wchar_t* property, const wchar_t* id) {
  if (!id) return;
  texts_.push_back(Text(id));
  button.SetProperty(property, texts_.back().data());
}

void ScanViews::BuildLeftPanel(const ViewPlacements& planned) {
  const Box& box = planned.leftPanel;
  MvChildWindow* panel = CreateChildWindow(false, L"IDC_LEFTPANEL", box.x, box.y, box.width, box.height, WS_BORDER, 0);
  if (!panel) return;
  const std::wstring infoText = Text(L"IDS_LABEL_LEFTINFOTEXT");
  MvLabel* info = CreateLabel(panel, infoText.c_str(), planned.leftInfoLabel.x, planned.leftInfoLabel.y);
  if (info) {
    info->name = L"IDC_LABEL_LEFTINFOTEXT";
    info->SetFont(setup_.uiFont);
    info->background = GetSysColorBrush(COLOR_BTNFACE);
    info->Move(planned.leftInfoLabel.x, planned.leftInfoLabel.y, planned.leftInfoLabel.width,
               planned.leftInfoLabel.height);
    info->Show(SW_HIDE);
  }
  const ViewPlacements p = ComputeViewPlacements({}, setup_.dpi, info != nullptr, true);
  const std::vector<LeftButtonSpec>& specs = LeftButtonSpecs();
  for (size_t i = 0; i < specs.size(); ++i) {
    const LeftButtonSpec& spec = specs[i];
    const Box& at = p.leftButtons[i];
    MvButton* button =
        AddPanelButton(panel, at, spec.name, PaintLeftButton, Click{this, false, TopicClick::OpenFaq, spec.view});
    if (!button) continue;
    button->SetProperty(L"LEFTBTN_BITMAP", LoadBitmapResource(spec.bitmap));
    button->SetProperty(L"LEFTBTN_BITMAPDISABLED", LoadBitmapResource(spec.disabledBitmap));
    SetTextProperty(*button, L"LEFTBTN_ICONLABEL", spec.labelId);
    button->SetProperty(L"LEFTBTN_LABELFONT", setup_.uiFont);
    button->SetProperty(kSelectedProperty, const_cast<wchar_t*>(spec.view == ResultView::MainMenu ? kTrue : kFalse));
    button->Enable(spec.enabledAtStart);
  }
}

void ScanViews::BuildTopicPanel(const ViewPlacements& planned) {
  const Box& box = planned.topicPanel;
  MvChildWindow* panel =
      CreateChildWindow(false, L"IDC_PANEL_TOPIC", box.x, box.y, box.width, box.height, WS_VSCROLL, kWhite);
  if (!panel) return;
  topicPanel_ = panel;
  panel->AddToGroup(L"GROUP_PANEL_TOPIC");
  SetScrollRange(panel->hwnd, SB_VERT, 0, 400, TRUE);
  panel->events.AddBinaryEventProc(kEventVerticalScroll, OnTopicScroll, panel);

  bool withLogo = false;
  if (MvLabel* logo = CreateLabel(panel, L"IDC_IMAGE_TOPICLOGO", planned.topicLogo.x, planned.topicLogo.y)) {
    SetWindowLongPtrW(logo->hwnd, GWL_STYLE, WS_CHILD | WS_VISIBLE | SS_BITMAP);
    SendMessageW(logo->hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(LoadBitmapResource(127)));
    withLogo = true;
    const std::wstring labelText = Text(L"IDC_TEXT_TOPICLABEL");
    if (MvLabel* label = CreateLabel(panel, labelText.c_str(), planned.topicLabel.x, planned.topicLabel.y)) {
      label->name = L"IDC_TEXT_TOPICLABEL";
      label->SetFont(setup_.uiFont);
      label->Move(planned.topicLabel.x, planned.topicLabel.y, planned.topicLabel.width, planned.topicLabel.height);
    }
  }
  ViewFrame frame;  // only the panel's width matters for the buttons
  frame.width = box.width + setup_.dpi.Scale(157);
  const ViewPlacements p = ComputeViewPlacements(frame, setup_.dpi, true, withLogo);
  const std::vector<TopicButtonSpec>& specs = TopicButtonSpecs();
  for (size_t i = 0; i < specs.size(); ++i) {
    const TopicButtonSpec& spec = specs[i];
    const Box& at = p.topicButtons[i];
    MvButton* button =
        AddPanelButton(panel, at, spec.name, PaintTopicButton, Click{this, true, spec.click, ResultView::MainMenu});
    if (!button) continue;
    SetTextProperty(*button, L"TOPICBTN_HEADLINE", spec.headlineId);
    SetTextProperty(*button, L"TOPICBTN_SUBHEADLINE", spec.subheadlineId);
    SetTextProperty(*button, L"TOPICBTN_BODY", spec.bodyId);
    SetTextProperty(*button, L"TOPICBTN_ICONLABEL", spec.iconLabelId);
    button->SetProperty(L"TOPICBTN_BITMAP", LoadBitmapResource(spec.bitmap));
  }
}

void ScanViews::BuildLists(const ViewPlacements& p) {
  for (const ListViewSpec& spec : ListViewSpecs()) {
    const Box& box = spec.p2p ? p.p2pList : p.mediaList;
    MvListView* list = CreateListView(spec.name, box.x, box.y, box.width, box.height);
    if (!list) continue;
    list->AddToGroup(spec.group);
    SendMessageW(list->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(setup_.uiFont), FALSE);
    SendMessageW(list->hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, spec.extendedStyles);
    for (const ColumnSpec& column : spec.columns) {
      const std::wstring text = Text(column.textId);
      list->InsertColumn(text.c_str(), ColumnWidth(list->width, column.widthFactor));
    }
    list->SetGreyBackground();
    list->events.AddBinaryEventProc(kEventUiControlShow, OnListShown, list);
    list->events.AddBinaryEventProc(kEventLvnColumnClick, OnColumnClick, list);
    if (spec.p2p) {
      // The list shares the image list so that it stays owned here.
      SetWindowLongPtrW(list->hwnd, GWL_STYLE, GetWindowLongPtrW(list->hwnd, GWL_STYLE) | LVS_SHAREIMAGELISTS);
      const int side = setup_.dpi.Scale(16);
      programIcons_.reset(win::CheckedHandle(FrameworkError(), ImageList_Create(side, side, ILC_COLOR24 | ILC_MASK, 1, 1),
                                             L"ImageList_Create", spec.name));
      SendMessageW(list->hwnd, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(programIcons_.get()));
      p2pList_ = list;
      list->events.AddBinaryEventProc(kEventCustomDraw, PaintP2pList, list);
      list->events.AddBinaryEventProc(kEventLvnClick, OnP2pClick, this);
    } else {
      list->events.AddBinaryEventProc(kEventCustomDraw, PaintMediaList, list);
      list->events.AddBinaryEventProc(kEventLvnClick, OnCheckAllClick, this);
      list->events.AddBinaryEventProc(kEventLvnDblClick, OnOpen, list);
      list->AddItem(-1, Text(L"IDS_CHECKALLITEMS").c_str(), 0);
    }
    list->Show(SW_HIDE);
    BuildLabels(spec, box, spec.p2p ? p.p2pLabelTop : p.mediaLabelTop);
  }
}

void ScanViews::BuildLabels(const ListViewSpec& spec, const Box& list, int32_t labelTop) {
  MvChildWindow* main = MainWindow();
  const LabelBoxes boxes = ViewLabelBoxes(list.x, list.width, labelTop, setup_.dpi);
  const std::wstring headlineText = Text(spec.headlineId);
  if (MvLabel* headline = CreateLabel(main, headlineText.c_str(), boxes.headline.x, boxes.headline.y)) {
    headline->name = L"IDC_VIEW_LABEL_HEADLINE";
    headline->SetFont(SharedFont(20, 700));
    headline->SetTextColor(0xFF0000);
    headline->AddToGroup(spec.group);
    headline->Show(SW_HIDE);
  }
  const std::wstring bodyText = Text(spec.bodyId);
  if (MvLabel* body = CreateLabel(main, bodyText.c_str(), boxes.body.x, boxes.body.y)) {
    body->name = L"IDC_VIEW_LABEL_BODY";
    body->SetFont(SharedFont(17, 700));
    body->SetWhiteBackground();
    body->Move(boxes.body.x, boxes.body.y, boxes.body.width, boxes.body.height);
    body->AddToGroup(spec.group);
    body->Show(SW_HIDE);
  }
}

void ScanViews::BuildTabs(const ViewPlacements& p) {
  for (const TabControlSpec& spec : TabControlSpecs()) {
    MvTabControl* tab = CreateTabControl(p.tabs.x, p.tabs.y, p.tabs.width, spec.name);
    if (!tab) continue;
    tab->AddToGroup(spec.childrenGroup);
    tab->SetProperty(kChildrenGroupProperty, const_cast<wchar_t*>(spec.childrenGroup));
    SendMessageW(tab->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(setup_.uiFont), FALSE);
    for (const wchar_t* id : spec.tabTextIds) tab->AddTab(Text(id).c_str());
    tab->events.AddBinaryEventProc(kEventTcnSelChanging, OnTabChanging, this);
    tab->events.AddBinaryEventProc(kEventTcnSelChange, OnTabChanged, this);
    tab->Show(SW_HIDE);
  }
}

// --- View actions --------------------------------------------------------------------------------

void ScanViews::Show(ResultView view) {
  const ViewSteps& steps = StepsFor(view);
  for (const GroupStep& step : steps.groups) ShowGroup(step.show ? SW_SHOWNORMAL : SW_HIDE, step.group);
  if (steps.hideTopicPanel && topicPanel_) topicPanel_->Show(SW_HIDE);
  for (const wchar_t* name : steps.deleteCandidates) {
    MvListView* list = FindListView(name);
    if (list && list->visible) {
      UpdateDeleteSelected(list);
      break;
    }
  }
  if (steps.resetTab) {
    if (MvTabControl* tab = FindTabControl(steps.resetTab)) tab->SelectTab(0);
  }
  MvChildWindow* leftPanel = FindChildWindow(L"IDC_LEFTPANEL");
  if (!leftPanel) return;
  for (const SelectionMark& mark : SelectionMarks(view)) {
    if (MvButton* button = FindButton(leftPanel, mark.button)) {
      button->SetProperty(kSelectedProperty, const_cast<wchar_t*>(mark.selected ? kTrue : kFalse));
      button->Invalidate();
    }
  }
}

void ScanViews::OnButtonClicked(const wchar_t*, void* context) {
  auto* click = static_cast<Click*>(context);
  if (click->topic) {
    click->views->OnTopicClick(click->topicClick);
  } else {
    click->views->Show(click->view);
  }
}

void ScanViews::OnTopicClick(TopicClick click) {
  switch (click) {
    case TopicClick::ShowP2pAndScan:
      Show(ResultView::P2p);
      if (setup_.startScan) setup_.startScan();
      break;
    case TopicClick::SharedViewAndScan:
      Show(ResultView::SharedFiles);
      if (setup_.startScan) setup_.startScan();
      break;
    case TopicClick::OtherViewAndScan:
      Show(ResultView::OtherFiles);
      if (setup_.startScan) setup_.startScan();
      break;
    case TopicClick::OpenFaq:
      if (setup_.openFaq) setup_.openFaq();
      break;
  }
}

// --- Selection and "Delete Selected" -------------------------------------------------------------

int ScanViews::CountSelectedForDeletion(const MvListView& list) const {
  std::vector<DeletionRow> rows;
  const int count = list.ItemCount();
  rows.reserve(static_cast<size_t>(count));
  for (int item = 0; item < count; ++item) {
    DeletionRow row;
    const ScanFile* file = RecordOf(list, item);
    row.hasRecord = file != nullptr;
    if (file && file->properties) {
      if (file->properties->Find(L"P2pDelete")) row.p2pDelete = RecordFlag(file, L"P2pDelete") ? 1u : 0u;
    }
    row.stateImage = StateImage(list, item);
    rows.push_back(row);
  }
  return tessaly::CountSelectedForDeletion(rows);
}

bool ScanViews::UpdateDeleteSelected(MvListView* list) {
  MvToolBar* toolBar = FindToolBar();
  // The list's own mark, not IsWindowVisible: the views also switch while the window is in the tray.
  if (!toolBar || !list || !list->hwnd || !list->visible) return false;
  const bool any = CountSelectedForDeletion(*list) > 0;
  toolBar->EnableButton(GetUniqueIdCode(L"IDC_DELETESELECTED"), any);
  if (MvChildWindow* main = MainWindow(); main && GetMenu(main->hwnd)) {
    EnableMenuItem(GetMenu(main->hwnd), kDeleteSelectedMenuItem, MF_BYCOMMAND | (any ? MF_ENABLED : MF_GRAYED));
  }
  return any;
}

void ScanViews::SelectAll(bool checked) {
  MvChildWindow* main = MainWindow();
  auto* list = main ? static_cast<MvListView*>(main->GetProperty(kCurrentListProperty)) : nullptr;
  if (!list) return;
  if (list->name == ListViewSpecs()[0].name) {
    for (int item = 0; item < list->ItemCount(); ++item) {
      if (ScanFile* file = RecordOf(*list, item)) {
        SetProperty(file->Properties(), L"P2pDelete", NumberValue(checked ? 1 : 0));
      }
    }
  } else {
    list->SetCheckAll(0, checked);
  }
  list->Invalidate();
  UpdateDeleteSelected(list);
}

void ScanViews::ClearLists() {
  for (const ListViewSpec& spec : ListViewSpecs()) {
    MvListView* list = FindListView(spec.name);
    if (!list || !list->hwnd) continue;
    SendMessageW(list->hwnd, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(list->hwnd, LVM_REMOVEALLGROUPS, 0, 0);
    // Without its first row the list could not be checked all at once after this scan.
    if (!spec.p2p) list->AddItem(-1, Text(L"IDS_CHECKALLITEMS").c_str(), 0);
  }
  if (programIcons_) ImageList_RemoveAll(programIcons_.get());
}

// --- List handlers -------------------------------------------------------------------------------

int32_t ScanViews::OnTabChanging(void* data, void*) {
  auto* tab = static_cast<MvTabControl*>(data);
  const auto* group = tab ? TextProperty(*tab, kChildrenGroupProperty) : nullptr;
  if (group) ShowGroup(SW_HIDE, TabPageGroup(group, tab->CurrentTab()).c_str());
  return 0;
}

int32_t ScanViews::OnTabChanged(void* data, void* context) {
  auto* tab = static_cast<MvTabControl*>(data);
  const auto* group = tab ? TextProperty(*tab, kChildrenGroupProperty) : nullptr;
  if (!group) return 0;
  const std::wstring page = TabPageGroup(group, tab->CurrentTab());
  ShowGroup(SW_SHOWNORMAL, page.c_str());
  // The page's list is the one "Delete Selected" now works on.
  static_cast<ScanViews*>(context)->UpdateDeleteSelected(ListOfPage(page));
  return 0;
}

int32_t ScanViews::OnP2pClick(void* data, void* context) {
  const auto* click = static_cast<const NMITEMACTIVATE*>(data);
  auto* self = static_cast<ScanViews*>(context);
  MvListView* list = self ? self->p2pList_ : nullptr;
  if (!click || !list) return 0;
  // The cell under the click point: not every list view fills in the column of a click.
  LVHITTESTINFO hit{};
  hit.pt = click->ptAction;
  if (SendMessageW(list->hwnd, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0 || hit.iItem < 0) return 0;
  if (RecordOf(*list, hit.iItem) && self->setup_.p2pCellClicked && (hit.iSubItem == 3 || hit.iSubItem == 4)) {
    self->setup_.p2pCellClicked(*list, hit.iItem, hit.iSubItem);
  }
  self->UpdateDeleteSelected(list);
  return 0;
}

int32_t ScanViews::OnListShown(void* data, void* context) {
  if (data == nullptr) return 0;  // hidden: the list shown last stays
  if (MvChildWindow* main = MainWindow()) main->SetProperty(kCurrentListProperty, context);
  return 0;
}

int32_t ScanViews::OnColumnClick(void* data, void* context) {
  const auto* click = static_cast<const NMLISTVIEW*>(data);
  auto* list = static_cast<MvListView*>(context);
  if (!click || !list) return 0;
  SortContext sort{click->iSubItem, ProcessSortState().Click(click->iSubItem), {}};
  // Every row compares equal beyond column 3: the order stays, whatever the sort's stability.
  if (!SortsByText(sort.column) && sort.column != 2) return 0;
  if (SortsByText(sort.column)) {
    for (int item = 0; item < list->ItemCount(); ++item) {
      sort.texts[list->GetItemData(item)] = list->GetItemText(item, sort.column, 1024);
    }
  }
  SendMessageW(list->hwnd, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&sort), reinterpret_cast<LPARAM>(CompareRows));
  return 0;
}

int32_t ScanViews::OnCheckAllClick(void* data, void* context) {
  const auto* click = static_cast<const NMITEMACTIVATE*>(data);
  auto* self = static_cast<ScanViews*>(context);
  if (!click) return 0;
  MvControl* control = MainWindow() ? MainWindow()->FindControlByHandle(click->hdr.hwndFrom) : nullptr;
  if (!control || control->Kind() != ControlKind::ListView) return 0;
  auto* list = static_cast<MvListView*>(control);
  if (click->iItem >= 0) {
    const std::wstring clicked = list->GetItemText(click->iItem, 0, 256);
    const std::wstring checkAll = self->Text(L"IDS_CHECKALLITEMS");
    const std::wstring unselectAll = self->Text(L"IDS_UNSELECTALL");
    switch (CheckAllActionFor(clicked, checkAll, unselectAll)) {
      case CheckAllAction::CheckAll:
        list->SetCheckAll(1, true);
        list->Invalidate();
        list->SetFirstItemText(unselectAll.c_str());
        break;
      case CheckAllAction::UncheckAll:
        list->SetCheckAll(1, false);
        list->Invalidate();
        list->SetFirstItemText(checkAll.c_str());
        break;
      case CheckAllAction::None:
        break;
    }
  }
  self->UpdateDeleteSelected(list);
  return 0;
}

int32_t ScanViews::OnOpen(void* data, void* context) {
  const auto* click = static_cast<const NMITEMACTIVATE*>(data);
  auto* list = static_cast<MvListView*>(context);
  if (!click || !list || click->iItem < 0) return 0;
  ScanFile* file = RecordOf(*list, click->iItem);
  if (!file) return 0;  // the check-all row
  // Not FilePath(): its cache belongs to the scan thread while the file is announced.
  const std::wstring path = FullPath(file->folder) + file->name;
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOW));
  if (result <= 32) FrameworkError().Report(L"ShellExecuteW(open %s) failed: %d", path, static_cast<int>(result));
  return 0;
}

int32_t ScanViews::OnTopicScroll(void* data, void* context) {
  const auto* scroll = static_cast<const VerticalScrollPayload*>(data);
  auto* panel = static_cast<MvChildWindow*>(context);
  if (!scroll || !panel || !panel->hwnd) return 0;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_POS | SIF_TRACKPOS;
  if (!win::CheckWin32(FrameworkError(), GetScrollInfo(panel->hwnd, SB_VERT, &info) != FALSE, L"GetScrollInfo",
                       panel->name)) {
    return 0;
  }
  // The message carries the thumb's position as well; it is what SIF_TRACKPOS reports during a
  // drag and, unlike it, also holds for a thumb moved by a message.
  const int code = LOWORD(scroll->wParam);
  const int track = code == SB_THUMBTRACK ? static_cast<int>(HIWORD(scroll->wParam)) : info.nTrackPos;
  const ScrollMove move = TopicScroll(code, info.nPos, info.nMin, info.nMax, track, TopicScrollLastPosition());
  if (!move.apply) return 0;
  SCROLLINFO position{};
  position.cbSize = sizeof position;
  position.fMask = SIF_POS;
  position.nPos = move.position;
  SetScrollInfo(panel->hwnd, SB_VERT, &position, TRUE);
  ScrollWindowEx(panel->hwnd, 0, move.dy, nullptr, nullptr, nullptr, nullptr,
                 SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
  RedrawWindow(panel->hwnd, nullptr, nullptr, RDW_ERASENOW | RDW_UPDATENOW);
  return 0;
}

// --- Painters ------------------------------------------------------------------------------------

int32_t ScanViews::PaintP2pList(void* data, void* context) {
  auto* draw = static_cast<NMLVCUSTOMDRAW*>(data);
  auto* list = static_cast<MvListView*>(context);
  if (!draw || !list) return CDRF_DODEFAULT;
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      draw->clrText = kWhite;
      draw->clrTextBk = kGrey;
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const int column = draw->iSubItem;
      const auto* file = reinterpret_cast<const ScanFile*>(draw->nmcd.lItemlParam);
      if (column == 3 || column == 4) {
        RECT cell{};
        cell.top = column;
        cell.left = LVIR_BOUNDS;
        SendMessageW(list->hwnd, LVM_GETSUBITEMRECT, draw->nmcd.dwItemSpec, reinterpret_cast<LPARAM>(&cell));
        const int side = SystemDpiScale().Scale(16);
        RECT box{cell.left, cell.top, cell.left + side, cell.top + side};
        const bool checked = RecordFlag(file, column == 3 ? L"P2pBlocked" : L"P2pDelete");
        DrawFrameControl(draw->nmcd.hdc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
        return CDRF_SKIPDEFAULT;
      }
      SelectObject(draw->nmcd.hdc, column == 0 ? SharedFont(14, 700) : SharedFont(14, 400));
      return CDRF_DODEFAULT | CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

int32_t ScanViews::PaintMediaList(void* data, void*) {
  auto* draw = static_cast<NMLVCUSTOMDRAW*>(data);
  if (!draw) return CDRF_DODEFAULT;
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      draw->clrText = kWhite;
      draw->clrTextBk = kGrey;
      return CDRF_NOTIFYSUBITEMDRAW;
    default:
      return CDRF_DODEFAULT;
  }
}

int32_t ScanViews::PaintLeftButton(void* data, void* context) {
  const auto* paint = static_cast<const PAINTSTRUCT*>(data);
  auto* button = static_cast<MvButton*>(context);
  if (!paint || !button) return 0;
  HDC dc = paint->hdc;
  RECT rect{};
  GetClientRect(button->hwnd, &rect);
  const bool enabled = button->enabled != 0;
  const auto* selected = TextProperty(*button, kSelectedProperty);
  const bool isSelected = selected && std::wstring_view(selected) == kTrue;
  const HPEN edge = SharedPen(1, 0x6A240A);
  if (button->pressed && enabled) {
    FillRect(dc, &rect, SharedBrush(0xC48A73));
    Outline(dc, rect, SharedPen(2, 0x6A240A), 1);
  } else if (isSelected && enabled) {
    FillRect(dc, &rect, SharedBrush(0xFFD2CB));
    Outline(dc, rect, edge, 0);
  } else if (button->hover && enabled) {
    FillRect(dc, &rect, SharedBrush(0xE2D2CB));
    Outline(dc, rect, edge, 0);
  } else {
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  }
  auto bitmap = static_cast<HBITMAP>(button->GetProperty(L"LEFTBTN_BITMAP"));
  if (auto disabled = static_cast<HBITMAP>(button->GetProperty(L"LEFTBTN_BITMAPDISABLED")); !enabled && disabled) {
    bitmap = disabled;
  }
  if (!bitmap) return 0;
  const SIZE size = BitmapSize(bitmap);
  const int top = SystemDpiScale().Scale(3);
  DrawTransparent(dc, bitmap, rect.right / 2 - size.cx / 2, top);
  SetBkMode(dc, TRANSPARENT);
  DrawLabel(dc, TextProperty(*button, L"LEFTBTN_ICONLABEL"), static_cast<HFONT>(button->GetProperty(L"LEFTBTN_LABELFONT")),
            {0, size.cy + top, rect.right, rect.bottom}, DT_CENTER | DT_WORDBREAK | DT_WORD_ELLIPSIS);
  return 0;
}

int32_t ScanViews::PaintTopicButton(void* data, void* context) {
  const auto* paint = static_cast<const PAINTSTRUCT*>(data);
  auto* button = static_cast<MvButton*>(context);
  if (!paint || !button) return 0;
  HDC dc = paint->hdc;
  const DpiScale dpi = SystemDpiScale();
  auto s = [&dpi](int pixels) { return dpi.Scale(pixels); };
  RECT rect{};
  GetClientRect(button->hwnd, &rect);
  const HPEN red = SharedPen(2, 0x0000FF);
  if (button->pressed) {
    FillRect(dc, &paint->rcPaint, SharedBrush(0xBA765F));
    Outline(dc, rect, red, 1);
  } else if (button->hover) {
    FillRect(dc, &rect, SharedBrush(0xC48A73));
    Outline(dc, rect, red, 1);
  } else {
    FillRect(dc, &rect, SharedBrush(button->name == L"IDC_FAQS" ? 0xC8D0D4 : 0xE2D2CB));
    Outline(dc, rect, SharedPen(1, 0x6A240A), 0);
  }
  SetTextColor(dc, 0x960000);
  SetBkMode(dc, TRANSPARENT);
  const int right = rect.right - s(10);
  int y = s(10);
  if (const wchar_t* headline = TextProperty(*button, L"TOPICBTN_HEADLINE")) {
    DrawLabel(dc, headline, SharedFont(24, 600), {s(110), s(10), right, s(40)}, DT_SINGLELINE | DT_WORD_ELLIPSIS);
    y = s(35);
  }
  if (const wchar_t* subheadline = TextProperty(*button, L"TOPICBTN_SUBHEADLINE")) {
    DrawLabel(dc, subheadline, SharedFont(20, 700), {s(137), y, right, y + s(20)}, DT_SINGLELINE | DT_WORD_ELLIPSIS);
    y += s(25);
  }
  DrawLabel(dc, TextProperty(*button, L"TOPICBTN_BODY"), SharedFont(14, 400), {s(137), y, right, rect.bottom},
            DT_WORDBREAK | DT_WORD_ELLIPSIS);
  auto bitmap = static_cast<HBITMAP>(button->GetProperty(L"TOPICBTN_BITMAP"));
  if (!bitmap) return 0;
  DrawTransparent(dc, bitmap, s(40), s(30));
  const SIZE size = BitmapSize(bitmap);
  // Centred below the bitmap, 100 wide and 20 high.
  const int top = size.cy + s(33);
  const int centre = s(40) + size.cx / 2;
  DrawLabel(dc, TextProperty(*button, L"TOPICBTN_ICONLABEL"), SharedFont(14, 700),
            {centre - s(50), top, centre + s(50), top + s(20)}, DT_CENTER | DT_WORDBREAK | DT_WORD_ELLIPSIS);
  return 0;
}

}  // namespace tessaly
