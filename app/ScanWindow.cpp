#include "ScanWindow.h"

#include "DebugLog.h"
#include "Framework.h"
#include "MvAnimation.h"
#include "MvButton.h"
#include "MvChildWindow.h"
#include "MvComboBox.h"
#include "MvLabel.h"
#include "MvListView.h"
#include "MvStatusBar.h"
#include "MvToolBar.h"
#include "ScanDoneWizard.h"
#include "SharedProperties.h"
#include "Win32Check.h"

#include <commctrl.h>
#include <shellapi.h>

#include <climits>
#include <map>

namespace tessaly {
namespace {

// Rows inserted per drain: a large burst (an archive full of songs) is spread over several
// drains so that the window keeps handling its other messages in between.
constexpr size_t kRowsPerDrain = 2000;

ScanWindow& Self(void* context) { return *static_cast<ScanWindow*>(context); }

int InsertRow(MvListView& list, const FeedRow& row, int image, bool checkBox) {
  std::wstring text = row.text;
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = INT_MAX;  // past the end: appended, without asking the list for its count first
  item.pszText = text.data();
  item.lParam = reinterpret_cast<LPARAM>(row.file);
  item.iImage = image;
  const auto index = static_cast<int>(SendMessageW(list.hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (index < 0) {
    FrameworkError().Report(L"ScanWindow::Insert(%s): LVM_INSERTITEMW failed for %s", list.name, row.text);
    return index;
  }
  if (checkBox) {
    // The state given at insertion does not reach the check box on every system.
    LVITEMW state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(2);
    SendMessageW(list.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
  }
  for (int column = 0; column < 3; ++column) {
    if (!row.columns[column].empty()) list.SetItemText(index, column + 1, row.columns[column].c_str());
  }
  return index;
}

}  // namespace

void ApplyCommandStates(const CommandStates& states) {
  if (MvToolBar* toolBar = FindToolBar()) {
    for (const auto& [name, enabled] : states.toolBar) toolBar->EnableButton(GetUniqueIdCode(name), enabled);
  }
  MvChildWindow* main = MainWindow();
  if (HMENU menu = main ? GetMenu(main->hwnd) : nullptr) {
    for (const auto& [command, enabled] : states.menu) {
      EnableMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
  }
  if (states.leftButtons) {
    MvChildWindow* panel = FindChildWindow(L"IDC_LEFTPANEL");
    for (const LeftButtonSpec& spec : LeftButtonSpecs()) {
      if (MvButton* button = panel ? FindButton(panel, spec.name) : nullptr) button->Enable(*states.leftButtons);
    }
  }
  if (states.comboBoxes) {
    for (const wchar_t* name : {L"IDC_CBOX_SEARCHPATH", L"IDC_CBOX_SEARCHFILTER"}) {
      if (MvComboBox* combo = FindComboBox(name)) combo->Enable(*states.comboBoxes);
    }
  }
}

ScanWindow::ScanWindow(Setup setup) : setup_(setup) {
  MvEventHandler& events = setup_.run->events;
  events.AddBinaryEventProc(kScanRunViewsClearedEvent, OnViewsCleared, this);
  events.AddBinaryEventProc(kScanRunStartedEvent, OnStartedWorker, this);
  events.AddBinaryEventProc(kScanRunAddItemEvent, OnAddItemWorker, this);
  events.AddBinaryEventProc(kScanRunStatusEvent, OnStatusWorker, this);
  events.AddBinaryEventProc(kScanRunFinishedEvent, OnFinishedWorker, this);
}

std::wstring ScanWindow::Text(const wchar_t* id) const { return GetString(false, id, *setup_.language); }

bool ScanWindow::Start(const std::wstring& searchPath, const std::wstring& filterText) {
  ShowProgressWindow();
  const bool started = setup_.run->StartDiskScan(searchPath, filterText);
  if (started) finishedShown_ = false;
  return started;
}

// --- Scan thread ---------------------------------------------------------------------------------

// Raised on the user-interface thread by StartDiskScan, with the run's results lock held: no row
// of the new results can slip in before the old ones are dropped.
int32_t ScanWindow::OnViewsCleared(void*, void* context) {
  ScanWindow& self = Self(context);
  self.batcher_.Clear();
  if (self.setup_.views) self.setup_.views->ClearLists();
  return 0;
}

void ScanWindow::PostDrain() {
  if (!setup_.bridge->Post([this] { Drain(); })) batcher_.PostFailed();
}

void ScanWindow::PostTask(void (ScanWindow::*step)(), uint64_t generation) {
  setup_.bridge->Post([this, step, generation] {
    // A task of a scan whose views have since been emptied for another.
    if (batcher_.Generation() != generation) return;
    (this->*step)();
  });
}

int32_t ScanWindow::OnStartedWorker(void*, void* context) {
  ScanWindow& self = Self(context);
  self.PostTask(&ScanWindow::OnStarted, self.batcher_.Generation());
  return 0;
}

int32_t ScanWindow::OnAddItemWorker(void* data, void* context) {
  ScanWindow& self = Self(context);
  const auto* item = static_cast<const ScanRunItem*>(data);
  if (!item) return 0;
  FeedRow row;
  row.listView = item->listView;
  row.file = item->file;
  row.text = item->text;
  for (int i = 0; i < 3; ++i) row.columns[i] = item->columns[i];
  if (self.batcher_.Push(std::move(row), Batcher::Clock::now())) self.PostDrain();
  return 0;
}

int32_t ScanWindow::OnStatusWorker(void* data, void* context) {
  ScanWindow& self = Self(context);
  if (const auto* status = static_cast<const ScanStatusText*>(data)) {
    if (self.batcher_.SetStatus(*status, Batcher::Clock::now())) self.PostDrain();
  }
  return 0;
}

int32_t ScanWindow::OnFinishedWorker(void*, void* context) {
  ScanWindow& self = Self(context);
  // The finish takes every row still waiting before it enables anything.
  self.PostTask(&ScanWindow::OnFinished, self.batcher_.Generation());
  return 0;
}

// --- User-interface thread -----------------------------------------------------------------------

void ScanWindow::Drain() { Insert(batcher_.Take(kRowsPerDrain)); }

void ScanWindow::Insert(Batcher::Batch batch) {
  std::map<const wchar_t*, MvListView*> lists;
  for (const FeedRow& row : batch.rows) {
    auto found = lists.find(row.listView);
    if (found == lists.end()) {
      MvListView* list = FindListView(row.listView);
      found = lists.emplace(row.listView, list).first;
      if (list && list->hwnd) SendMessageW(list->hwnd, WM_SETREDRAW, FALSE, 0);
    }
    MvListView* list = found->second;
    if (!list || !list->hwnd) continue;
    const bool p2p = std::wstring_view(row.listView) == kListViewP2p;
    int image = -1;
    if (p2p && row.file && setup_.views && setup_.views->ProgramIcons()) {
      const std::wstring path = FullPath(row.file->folder) + row.file->name;
      win::UniqueIcon icon(ExtractIconW(setup_.instance, path.c_str(), 0));
      if (icon.get() && reinterpret_cast<uintptr_t>(icon.get()) > 1) {
        image = ImageList_AddIcon(setup_.views->ProgramIcons(), icon.get());
      } else {
        (void)icon.release();  // 1 means "not an executable": no handle to destroy
      }
    }
    InsertRow(*list, row, image, !p2p);
  }
  for (const auto& [name, list] : lists) {
    if (!list || !list->hwnd) continue;
    SendMessageW(list->hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list->hwnd, nullptr, FALSE);
  }
  if (batch.status) UpdateScanStatus(*batch.status);
}

void ScanWindow::UpdateScanStatus(const ScanStatusText& status) {
  if (MvStatusBar* statusBar = FindStatusBar()) {
    statusBar->SetPartText(0, status.activity.c_str());
    statusBar->SetPartText(1, status.counts.c_str());
  }
}

void ScanWindow::OnStarted() {
  DebugPrint(L"Finding ToolBar\r\n");
  ApplyCommandStates(ScanStartedStates());
}

void ScanWindow::OnFinished() {
  for (;;) {
    Batcher::Batch batch = batcher_.Take();
    if (batch.rows.empty() && !batch.status) break;
    Insert(std::move(batch));
  }
  ScanRun& run = *setup_.run;
  const bool any = run.VideoCount() || run.ImageCount() || run.MusicCount() || run.P2pCount();
  ApplyCommandStates(ScanFinishedStates(any));
  HideProgressWindow();
  if (setup_.scanDoneWizard) RunScanDoneWizard();
  MvChildWindow* main = MainWindow();
  if (main && main->visible) SetForegroundWindow(main->hwnd);
  if (MvChildWindow* panel = FindChildWindow(L"IDC_LEFTPANEL")) {
    panel->Show(SW_SHOW);
    if (MvLabel* info = FindLabel(panel, Text(L"IDS_LABEL_LEFTINFOTEXT").c_str())) info->Show(SW_SHOW);
  }
  finishedShown_ = true;
}

void ScanWindow::RunScanDoneWizard() {
  ScanRun& run = *setup_.run;
  MvChildWindow* main = MainWindow();
  ScanDoneWizard wizard(*setup_.language, setup_.instance);
  wizard.SetProperty(kWizardVideoCount, NumberValue(run.VideoCount()));
  wizard.SetProperty(kWizardImageCount, NumberValue(run.ImageCount()));
  wizard.SetProperty(kWizardMusicCount, NumberValue(run.MusicCount()));
  wizard.SetProperty(kWizardP2pCount, NumberValue(run.P2pCount()));
  wizard.SetProperty(kWizardP2pList, FindListView(kListViewP2p));
  wizard.Run(main ? main->hwnd : nullptr);
  MvLinkedList* chosen = ListProperty(wizard.properties, kUninstallP2pList);
  if (!chosen) return;
  for (MvListEntry& entry : *chosen) {
    auto* program = static_cast<ScanFile*>(entry.value);
    if (!program) continue;
    if (setup_.uninstallP2p) {
      setup_.uninstallP2p(*program);
    } else {
      DebugPrint(L"ScanWindow::OnFinished(), the uninstall of %s%s is not connected, going on\r\n",
                 FullPath(program->folder), program->name);
    }
  }
}

void ScanWindow::ShowProgressWindow() {
  MvChildWindow* progress = FindChildWindow(kProgressWindowName);
  if (!progress) {
    const DpiScale dpi = SystemDpiScale();
    progress = CreateChildWindow(true, kProgressWindowName, -1, -1, dpi.Scale(400), dpi.Scale(100), WS_BORDER,
                                 RGB(0xFF, 0xFF, 0xFF));
    if (!progress) return;
    progress->events.AddBinaryEventProc(kEventWmPaint, PaintProgressWindow, this);
    const int x = progress->width - dpi.Scale(kAnimationWidth) - dpi.Scale(20);
    const int y = (progress->height - dpi.Scale(kAnimationHeight)) / 2;
    if (MvAnimation* animation = CreateAnimation(progress, x, y)) animation->Open(setup_.instance, kProgressAnimationResource);
  }
  SetWindowTextW(progress->hwnd, Text(L"IDS_PROGRAMTITLE").c_str());
  progress->Show(SW_SHOW);
  // The window is created visible and may have had its first paint before the painter above
  // was attached: paint it again now.
  if (!InvalidateRect(progress->hwnd, nullptr, TRUE))
    FrameworkError().Report(L"ScanWindow::ShowProgressWindow(): InvalidateRect failed");
  if (MvAnimation* animation = FindAnimation(progress)) animation->Play(-1);
}

void ScanWindow::HideProgressWindow() {
  MvChildWindow* progress = FindChildWindow(kProgressWindowName);
  if (!progress) return;
  progress->Show(SW_HIDE);
  if (MvAnimation* animation = FindAnimation(progress)) animation->Stop();
}

int32_t ScanWindow::PaintProgressWindow(void* data, void* context) {
  const auto* paint = static_cast<const PAINTSTRUCT*>(data);
  ScanWindow& self = Self(context);
  MvChildWindow* main = MainWindow();
  MvChildWindow* progress = FindChildWindow(kProgressWindowName);
  if (!paint || !main || !progress || !main->GetProperty(L"CurrentScanProcess")) return 0;
  HDC dc = paint->hdc;
  RECT client{};
  GetClientRect(progress->hwnd, &client);
  win::UniqueBrush fill(CreateSolidBrush(RGB(0xF4, 0xF4, 0xF4)));
  FillRect(dc, &client, fill.get());
  win::UniqueBrush border(CreateSolidBrush(RGB(0x5A, 0x5A, 0x5A)));
  FrameRect(dc, &client, border.get());
  const DpiScale dpi = SystemDpiScale();
  win::UniqueFont font(CreateFontW(dpi.Scale(14), 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma"));
  win::ScopedSelectObject selected(dc, font.get());
  SetTextColor(dc, RGB(0x15, 0x15, 0x15));
  SetBkMode(dc, TRANSPARENT);
  const std::wstring text = self.Text(L"IDS_SEARCHINGPLEASEWAIT");
  TextOutW(dc, dpi.Scale(35), client.bottom / 2 - dpi.Scale(8), text.c_str(), static_cast<int>(text.size()));
  return 0;
}

}  // namespace tessaly
