#include "ProgramWindow.h"

#include "AboutDialog.h"
#include "DeleteDialog.h"
#include "DebugLog.h"
#include "LicenseDialog.h"
#include "Localize.h"
#include "LoginDialog.h"
#include "MainWindowModel.h"
#include "MvButton.h"
#include "MvComboBox.h"
#include "MvListView.h"
#include "MvStatusBar.h"
#include "MvToolBar.h"
#include "P2pBlock.h"
#include "OptionsDialog.h"
#include "PrintReport.h"
#include "Settings.h"
#include "ScanLog.h"
#include "SharedProperties.h"
#include "SystemInfo.h"
#include "Startup.h"
#include "UpdateSession.h"
#include "WelcomeDialog.h"
#include "Win32Check.h"

#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

namespace tessaly {
namespace {

constexpr wchar_t kScanWindowName[] = L"IDD_SCANINPROGRESSWINDOW";
constexpr wchar_t kVolumesCompletedText[] = L"VolumeEnumerationCompleted=True";
constexpr wchar_t kUninstallHookProperty[] = L"MvUninstallHookFunc";
using UninstallHook = void (*)();

ProgramWindow& Self(void* context) { return *static_cast<ProgramWindow*>(context); }

}  // namespace

ProgramWindow::ProgramWindow(ProgramWindowSetup setup)
    : setup_(std::move(setup)),
      dpi_(SystemDpiScale()),
      window_(GetString(false, L"IDS_PROGRAMTITLE", *setup_.language)),
      diskScan_(setup_.volumes) {}

ProgramWindow::~ProgramWindow() {
  if (scan_) scan_->Stop();
  scan_.reset();
  diskScan_.Join();
  if (tessaly::MainWindow() == &window_) SetMainWindow(nullptr);
}

std::wstring ProgramWindow::Text(const wchar_t* id) const { return GetString(false, id, *setup_.language); }

bool ProgramWindow::Create() {
  window_.instance = setup_.instance;
  window_.className = kSingleInstanceName;
  window_.menuName = MAKEINTRESOURCEW(kMainMenuResource);
  HICON large = LoadIconW(setup_.instance, MAKEINTRESOURCEW(kProgramIconResource));
  HICON small = LoadIconW(setup_.instance, MAKEINTRESOURCEW(kProgramIconResource));
  if (large) {
    window_.icon = large;
    window_.smallIcon = small ? small : large;
  }
  SetMainWindow(&window_);

  window_.events.AddStringEventProc(kEventWmCreate, OnCreate, this);
  window_.events.AddBinaryEventProc(kEventWmClose, OnClose, this);
  window_.events.AddStringEventProc(kEventWmDestroy, OnDestroy, this);
  window_.events.AddBinaryEventProc(kEventWmSizing, OnSizing, this);
  window_.events.AddBinaryEventProc(kEventWmSize, OnSize, this);
  window_.events.AddBinaryEventProc(kEventWmMove, OnMove, this);

  return window_.Create(nullptr, 0, 0, GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN),
                        MainWindowStyle(setup_.hidden));
}

void ProgramWindow::ShowAtStart() {
  DebugPrint(L"Showing window\r\n");
  UpdateWindow(window_.hwnd);
  window_.Show(SW_SHOWMAXIMIZED);
  DebugPrint(L"Showed window %d,%d-%dx%d\r\n", window_.x, window_.y, window_.width, window_.height);
}

// --- Creation ----------------------------------------------------------------------------------

void ProgramWindow::OnCreate(const wchar_t*, void* context) { Self(context).BuildContents(); }

void ProgramWindow::BuildContents() {
  createdSize_ = {window_.width, window_.height};
  blocker_ = std::make_unique<P2pBlocker>();
  blocker_->Start(15.0f);
  LoadScanSettings();

  window_.events.AddStringEventProc(kEventMenuItemClicked, OnCommand, this);
  window_.events.AddStringEventProc(kEventSystrayLButtonDblClk, OnTrayDoubleClick, this);
  window_.events.AddStringEventProc(kEventSystrayRButtonUp, OnTrayMenu, this);
  window_.events.AddStringEventProc(kEventTaskbarCreated, OnTaskbarCreated, this);

  AddTrayIcon();
  CreateUiFont();
  BuildToolBar();
  BuildStatusBar();
  BuildSearchPathCombo();
  BuildSearchFilterCombo();
  BuildViews();

  DebugPrint(L"Starting Loading Menu Items...\r\n");
  LocalizeMenu(*setup_.language, window_.hwnd);
  DebugPrint(L"Completed Loading Menu Items...\r\n");
}

void ProgramWindow::LoadScanSettings() {
  StringTable& configuration = *setup_.configuration;
  // Missing keys read as empty texts rather than the in-band failure text, which would otherwise
  // become an extension or a mapping.
  auto config = [&configuration](const std::wstring& key) {
    const wchar_t* value = configuration.FindString(L"Neutral-" + key);
    return value ? std::wstring(value) : std::wstring();
  };
  media_ = LoadMediaSettings(config, *setup_.settings);
  auto tokens = [](ExtensionList& list) { return list ? static_cast<void*>(&*list) : nullptr; };
  window_.SetProperty(property::kSoundExtensions, tokens(media_.soundExtensions));
  window_.SetProperty(property::kVideoExtensions, tokens(media_.videoExtensions));
  window_.SetProperty(property::kImageExtensions, tokens(media_.imageExtensions));
  window_.SetProperty(property::kMinSoundSize, NumberValue(static_cast<uint32_t>(media_.minSoundSize)));
  window_.SetProperty(property::kMaxSoundSize, NumberValue(static_cast<uint32_t>(media_.maxSoundSize)));
  window_.SetProperty(property::kMinVideoSize, NumberValue(static_cast<uint32_t>(media_.minVideoSize)));
  window_.SetProperty(property::kMaxVideoSize, NumberValue(static_cast<uint32_t>(media_.maxVideoSize)));

  signaturesLoaded_ = LoadArchive(setup_.programFolder + L"PCBKDP.DAT", signatures_);
  if (signaturesLoaded_) window_.SetProperty(property::kSignatureDatabase, &signatures_);

  mappings_ = std::make_unique<SharedFolderMappings>(config(L"SETTINGS_SHAREDFOLDERMAPPINGS"),
                                                     config(L"SETTINGS_UNINSTALLERMAPPINGS"),
                                                     FinderContext{setup_.settings});
  window_.SetProperty(property::kSharedFolderMappings, mappings_.get());
  window_.SetProperty(property::kUninstallerMappings, mappings_.get());

  ScanRun::Setup scan;
  scan.properties = &window_.properties;
  scan.computer = &computer_;
  scan.volumesEnumerated = [this] { return volumesEnumerated_.load(); };
  scan.media = &media_;
  scan.signatures = signaturesLoaded_ ? &signatures_ : nullptr;
  scan.mappings = mappings_.get();
  scan.settings = setup_.settings;
  StringTable* language = setup_.language;
  scan.text = [language](const wchar_t* id) { return std::wstring(GetString(false, id, *language)); };
  scan.sizeText = [language](uint64_t size) {
    return std::wstring(FormatByteSize(static_cast<double>(size), *language));
  };
  scan_ = std::make_unique<ScanRun>(std::move(scan));
}

void ProgramWindow::AddTrayIcon() {
  const int side = GetSystemMetrics(SM_CXSMICON);
  win::UniqueIcon icon(static_cast<HICON>(
      LoadImageW(setup_.instance, MAKEINTRESOURCEW(kProgramIconResource), IMAGE_ICON, side, side, 0)));
  win::CheckWin32(AppError(), icon.get() != nullptr, L"LoadImageW", L"tray icon 108");
  tray_ = std::make_unique<TrayIcon>(window_.hwnd, kTrayIconId, kTrayMessage, std::move(icon), Text(L"IDS_PROGRAMTITLE"));
  tray_->Add();
}

void ProgramWindow::CreateUiFont() {
  font_.reset(win::CheckedHandle(AppError(),
                                 CreateFontW(Scale(13), 0, 0, 0, 500, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma"),
                                 L"CreateFontW", L"Tahoma 13"));
}

win::UniqueBitmap ProgramWindow::LoadToolBarBitmap(int resource) const {
  const int side = ToolBarImageSize();
  HBITMAP bitmap = side == kToolBarImageSize
                       ? LoadBitmapW(setup_.instance, MAKEINTRESOURCEW(resource))
                       : static_cast<HBITMAP>(LoadImageW(setup_.instance, MAKEINTRESOURCEW(resource), IMAGE_BITMAP,
                                                         side, side, 0));
  win::CheckWin32(AppError(), bitmap != nullptr, L"LoadBitmapW", FormatPrintf(L"bitmap %d", resource));
  return win::UniqueBitmap(bitmap);
}

void ProgramWindow::BuildToolBar() {
  MvToolBar* toolBar = CreateToolBar();
  if (!toolBar) return;
  SendMessageW(toolBar->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  toolBar->InitImages();
  for (const ToolbarEntry& entry : ToolbarEntries()) {
    if (entry.IsSeparator()) {
      toolBar->AddButton(nullptr, 0, nullptr, nullptr, false);
      continue;
    }
    // The image lists keep copies; the loaded bitmaps go at the end of the step.
    win::UniqueBitmap bitmap = LoadToolBarBitmap(entry.bitmap);
    win::UniqueBitmap disabled = LoadToolBarBitmap(entry.disabledBitmap);
    const std::wstring text = Text(entry.textId);
    toolBar->AddButton(text.c_str(), GetUniqueIdCode(entry.name), bitmap.get(), disabled.get(), entry.enabled);
  }
}

void ProgramWindow::BuildStatusBar() {
  MvStatusBar* statusBar = CreateStatusBar();
  if (!statusBar) return;
  auto [half, whole] = StatusBarParts(window_.width);
  statusBar->SetParts({half, whole});
  statusBar->SetPartText(0, Text(L"IDS_READY").c_str());
}

void ProgramWindow::BuildSearchPathCombo() {
  MvComboBox* combo = CreateComboBox(L"IDC_CBOX_SEARCHPATH", 0, SearchPathWidth(window_.width), CBS_DROPDOWN | WS_VSCROLL);
  if (combo) {
    SendMessageW(combo->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    const ComboItems items = SearchPathItems([this](const wchar_t* id) { return Text(id); });
    for (const std::wstring& item : items.items) combo->AddString(item.c_str());
    combo->SelectString(items.selected.c_str());
    combo->events.AddStringEventProc(kEventCbnSelChanged, OnBrowse, this);
    combo->Enable(false);
    // The enumeration fires on its own thread: the bridge brings each volume to the combo box on
    // this thread. The records live in computer_, which outlives the bridge.
    bridge_.RelayBinaryEvent(diskScan_.events, kNewVolumeFoundEvent, combo->events);
    combo->events.AddBinaryEventProc(kNewVolumeFoundEvent, OnNewVolume, combo);
    comboRowHeight_ = combo->height + Scale(10);
  }
  // The scan waits for this flag on the UI thread, so it cannot wait for a posted message.
  diskScan_.events.AddStringEventProc(kEnumerateFinishedEvent, OnVolumesListedWorker, this);
  bridge_.RelayStringEvent(diskScan_.events, kEnumerateFinishedEvent, window_.events);
  window_.events.AddStringEventProc(kEnumerateFinishedEvent, OnVolumesListed, this);
  StartEnumeration(computer_, diskScan_);
  window_.SetProperty(property::kThisComputer, &computer_);
}

void ProgramWindow::BuildSearchFilterCombo() {
  auto [x, width] = SearchFilterSpanAtCreation(window_.width);
  MvComboBox* combo = CreateComboBox(L"IDC_CBOX_SEARCHFILTER", x, width, CBS_DROPDOWNLIST | WS_VSCROLL);
  if (!combo) return;
  SendMessageW(combo->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  combo->Enable(false);
  auto config = [this](const wchar_t* key) {
    const wchar_t* value = setup_.configuration->FindString(std::wstring(L"Neutral-") + key);
    return std::wstring(value ? value : L"");
  };
  const ComboItems items = SearchFilterItems(config(kMusicTypesKey), config(kVideoTypesKey), config(kImageTypesKey),
                                             [this](const wchar_t* id) { return Text(id); });
  for (const std::wstring& item : items.items) combo->AddString(item.c_str());
  SendMessageW(combo->hwnd, CB_SETCURSEL, items.items.size() - 1, 0);
}

void ProgramWindow::BuildViews() {
  ScanViews::Setup setup;
  setup.instance = setup_.instance;
  setup.language = setup_.language;
  setup.dpi = dpi_;
  setup.uiFont = font_.get();
  setup.startScan = [this] { StartScan(); };
  setup.openFaq = [this] { OpenHelp(L"IDS_FAQS_CHMFILENAME"); };
  setup.p2pCellClicked = [this](MvListView& list, int row, int column) { P2pCellClicked(list, row, column); };
  views_ = std::make_unique<ScanViews>(std::move(setup));
  ViewFrame frame;
  frame.width = createdSize_.width;
  frame.height = createdSize_.height;
  if (MvToolBar* toolBar = FindToolBar()) frame.toolBar = toolBar->height;
  if (MvStatusBar* statusBar = FindStatusBar()) frame.statusBar = statusBar->height;
  frame.comboRow = comboRowHeight_;
  views_->Build(frame);
  if (scan_) {
    ScanWindow::Setup feed;
    feed.instance = setup_.instance;
    feed.language = setup_.language;
    feed.run = scan_.get();
    feed.bridge = &bridge_;
    feed.views = views_.get();
    feed.scanDoneWizard = setup_.scanDoneWizard;
    feed.uninstallP2p = setup_.uninstallP2p;
    if (!feed.uninstallP2p) {
      // The programs chosen in the wizard, one uninstall each; their rows stay whatever the result.
      feed.uninstallP2p = [this](ScanFile& program) { RunP2PUninstall(window_.hwnd, program, UninstallSetup()); };
    }
    scanWindow_ = std::make_unique<ScanWindow>(feed);
  }
}

int32_t ProgramWindow::OnNewVolume(void* data, void* context) {
  auto* volume = static_cast<VolumeInfo*>(data);
  auto* combo = static_cast<MvComboBox*>(context);
  if (volume && combo) combo->AddString(volume->realName.c_str());
  return 0;
}

void ProgramWindow::OnVolumesListedWorker(const wchar_t*, void* context) { Self(context).volumesEnumerated_ = true; }

void ProgramWindow::OnVolumesListed(const wchar_t*, void* context) {
  Self(context).window_.SetProperty(property::kVolumeEnumerationCompleted, const_cast<wchar_t*>(kVolumesCompletedText));
}

void ProgramWindow::OnBrowse(const wchar_t* selected, void* context) {
  ProgramWindow& self = Self(context);
  MvComboBox* combo = FindComboBox(L"IDC_CBOX_SEARCHPATH");
  if (!combo || !selected || _wcsicmp(selected, self.Text(L"IDS_BROWSE").c_str()) != 0) return;
  // The new-style folder dialog needs COM on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  BROWSEINFOW browse{};
  browse.hwndOwner = self.window_.hwnd;
  browse.ulFlags = BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE folder = SHBrowseForFolderW(&browse);
  wchar_t path[MAX_PATH] = {};
  const bool chosen = folder && SHGetPathFromIDListW(folder, path);
  if (folder) CoTaskMemFree(folder);
  if (SUCCEEDED(com)) CoUninitialize();
  if (chosen) {
    const int index = combo->AddString(path);
    if (index >= 0) SendMessageW(combo->hwnd, CB_SETCURSEL, index, 0);
  } else {
    combo->SelectString(self.Text(L"IDS_ALLLOCALDRIVES").c_str());
  }
}

// --- Commands ----------------------------------------------------------------------------------

void ProgramWindow::OnCommand(const wchar_t* name, void* context) {
  if (name) Self(context).Command(name);
}

void ProgramWindow::Command(const std::wstring& name) {
  constexpr const wchar_t* kRoutine = L"ProgramWindow::OnCommand()";
  switch (CommandFor(name)) {
    case MainCommand::None:
      break;
    case MainCommand::ViewFileSharingSoftware:
      ShowView(ResultView::P2p);
      break;
    case MainCommand::ViewAllFilesInSharedFolders:
      ShowView(ResultView::SharedFiles);
      break;
    case MainCommand::ViewMusicVideoImageFiles:
      ShowView(ResultView::OtherFiles);
      break;
    case MainCommand::ViewMainMenu:
      ShowView(ResultView::MainMenu);
      break;
    case MainCommand::CheckForUpdates:
      CheckForUpdates();
      break;
    case MainCommand::About: {
      AboutDialogSetup about;
      about.instance = setup_.instance;
      about.language = setup_.language;
      RunAboutDialog(about, window_.hwnd);
      break;
    }
    case MainCommand::LicenseAgreement:
      ShowLicense();
      break;
    case MainCommand::SelectAll:
    case MainCommand::UnselectAll: {
      // Not while a scan walks a folder; a finished scan's lists can be checked at any time.
      auto* scan = static_cast<MvScan*>(window_.GetProperty(L"CurrentScanProcess"));
      if (views_ && (!scan || scan->WalkDepth() == 0)) views_->SelectAll(CommandFor(name) == MainCommand::SelectAll);
      break;
    }
    case MainCommand::DeleteSelected:
      DeleteSelected();
      break;
    case MainCommand::Options:
      EditOptions();
      break;
    case MainCommand::SaveResult:
      SaveResult();
      break;
    case MainCommand::PrintResult:
      PrintResult();
      break;
    case MainCommand::StopScan:
      StopScan();
      break;
    case MainCommand::PauseScan:
      PauseScan();
      break;
    case MainCommand::StartScan:
      StartScan();
      break;
    case MainCommand::Exit:
      ExitProgram();
      break;
    case MainCommand::OpenProgram:
      if (Login(kRoutine)) ShowFromTray();
      break;
    case MainCommand::CloseAndRun:
      HideToTray();
      break;
    case MainCommand::Faqs:
      OpenHelp(L"IDS_FAQS_CHMFILENAME");
      break;
    case MainCommand::UserGuide:
      OpenHelp(L"IDS_HELP_CHMFILENAME");
      break;
    case MainCommand::Introduction:
      ShowIntroduction();
      break;
  }
}

void ProgramWindow::ShowIntroduction() {
  WelcomeRequest welcome;
  welcome.instance = setup_.instance;
  welcome.language = setup_.language;
  welcome.settings = setup_.settings;
  ShowWelcome(window_.hwnd, welcome);
}

namespace {

// The window's size property of each limit, in the order of kSizeSettings.
constexpr const wchar_t* kSizeProperties[4] = {property::kMinSoundSize, property::kMaxSoundSize,
                                               property::kMinVideoSize, property::kMaxVideoSize};

}  // namespace

void ProgramWindow::EditOptions() {
  OptionsRequest options;
  options.instance = setup_.instance;
  options.language = setup_.language;
  options.configuration = setup_.configuration;
  options.settings = setup_.settings;
  for (size_t i = 0; i < 4; ++i) {
    options.limits[i] = static_cast<int32_t>(NumberProperty(window_.properties, kSizeProperties[i]));
  }
  RunOptionsDialog(window_.hwnd, options);
  // Only values above 0 are taken over; a "0" stays stored but the running limit stays too.
  const Settings settings(*static_cast<const SettingsStore*>(setup_.settings));
  for (size_t i = 0; i < 4; ++i) {
    if (auto limit = settings.SizeLimit(kSizeSettings[i])) {
      window_.SetProperty(kSizeProperties[i], NumberValue(static_cast<uint32_t>(*limit)));
    }
  }
  SetForegroundWindow(window_.hwnd);
  WriteLanguageFile(setup_.programFolder, *setup_.language);
}

void ProgramWindow::ApplySizeLimits() {
  // The worker reads the limits while it runs.
  if (!scan_ || scan_->IsRunning()) return;
  media_.minSoundSize = static_cast<int32_t>(NumberProperty(window_.properties, property::kMinSoundSize));
  media_.maxSoundSize = static_cast<int32_t>(NumberProperty(window_.properties, property::kMaxSoundSize));
  media_.minVideoSize = static_cast<int32_t>(NumberProperty(window_.properties, property::kMinVideoSize));
  media_.maxVideoSize = static_cast<int32_t>(NumberProperty(window_.properties, property::kMaxVideoSize));
}

void ProgramWindow::CheckForUpdates() {
  if (RunUpdateDialog(window_.hwnd, *setup_.settings, *setup_.language, *setup_.configuration) !=
      kUpdateResultLaunched) {
    return;
  }
  // The updater waits for the single-instance mutex, which the end of the program releases.
  DebugPrint(L"ProgramWindow::OnCommand(), the updater runs, ending\r\n");
  if (tray_) tray_->Remove();
  PostQuitMessage(0);
}

void ProgramWindow::ShowLicense() {
  LicenseDialogSetup license;
  license.instance = setup_.instance;
  license.language = setup_.language;
  license.rtfFile = std::wstring(ModuleFolder()) + L"LicenseFile.rtf";
  license.hideAgreementOptions = true;  // only for reading: nothing is agreed here
  ShowLicenseAgreement(license, window_.hwnd, LicenseFileUse::Program);
}

bool ProgramWindow::Login(const wchar_t* routine) {
  LoginContext login;
  login.language = setup_.language;
  login.settings = setup_.settings;
  const INT_PTR result = RunLoginDialog(setup_.instance, nullptr, login);
  if (result != kLoginAccepted) DebugPrint(L"%s, login refused (%d)\r\n", routine, static_cast<int>(result));
  return result == kLoginAccepted;
}

void ProgramWindow::StartScan() {
  MvComboBox* path = FindComboBox(L"IDC_CBOX_SEARCHPATH");
  MvComboBox* filter = FindComboBox(L"IDC_CBOX_SEARCHFILTER");
  const std::wstring searchPath = path ? path->GetText() : Text(L"IDS_ALLLOCALDRIVES");
  const std::wstring filterText = filter ? filter->GetSelected() : Text(L"IDS_SEARCHFORMUSICVIDEOSOFTWARE");
  ApplySizeLimits();
  if (scanWindow_) {
    scanWindow_->Start(searchPath, filterText);
  } else if (scan_) {
    scan_->StartDiskScan(searchPath, filterText);
  }
  ShowView(ResultView::P2p);
}

void ProgramWindow::ShowView(ResultView view) {
  if (views_) views_->Show(view);
}

void ProgramWindow::StopScan() {
  if (!scan_ || !window_.GetProperty(property::kCurrentScanProcess)) return;
  scan_->Stop();
  DebugPrint(L"MvScan::Start(), Stopping Thread\r\n");
}

void ProgramWindow::PauseScan() {
  auto* scan = static_cast<MvScan*>(window_.GetProperty(property::kCurrentScanProcess));
  if (!scan_ || !scan) return;
  // Cooperative: the worker waits at its next directory entry; no thread is suspended.
  scan_->TogglePause();
  DebugPrint(L"MvScan::Start(), Suspending Thread\r\n");
  if (MvChildWindow* progress = FindChildWindow(kScanWindowName)) progress->Show(scan->IsPaused() ? SW_HIDE : SW_SHOW);
}

void ProgramWindow::SaveResult() {
  wchar_t file[1040] = {};
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window_.hwnd;
  dialog.lpstrFilter = L"Txt Files\0*.txt\0";
  dialog.lpstrFile = file;
  dialog.nMaxFile = 1040;
  dialog.nFilterIndex = 1;
  dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_ENABLESIZING;
  if (!GetSaveFileNameW(&dialog)) return;
  const std::wstring path = ScanLogFileName(file);
  const ScanLogTexts texts{Text(L"IDS_MUSICFILES"), Text(L"IDS_VIDEOFILES"), Text(L"IDS_P2PAPPLICATIONS")};
  if (!WriteScanLog(path, window_.properties, texts)) AppError().Report(L"Failed to write the scan log %s", path);
}

void ProgramWindow::DeleteSelected() {
  auto* list = static_cast<MvListView*>(window_.GetProperty(kCurrentListProperty));
  // Never the P2P list: its rows are uninstalled, not deleted.
  if (!views_ || !list || list->name == kListViewP2p || views_->CountSelectedForDeletion(*list) <= 0) return;
  DeleteDialogRequest request;
  request.title = Text(L"IDS_DELETEIMAGEFILES");
  request.bodyTop = Text(L"IDS_DELETEFILEBODYTOP");
  request.bodyMiddleBold = Text(L"IDS_DELETEFILEBODYMIDDLEBOLD");
  request.bodyBottom = Text(L"IDS_DELETEFILEBODYBOTTOM");
  request.fileList = list;
  request.language = setup_.language;
  request.instance = setup_.instance;
  RunDeleteDialog(window_.hwnd, request);
  SetForegroundWindow(window_.hwnd);
  views_->UpdateDeleteSelected(list);
  WriteLanguageFile(setup_.programFolder, *setup_.language);
}

P2pUninstallSetup ProgramWindow::UninstallSetup() const {
  P2pUninstallSetup setup;
  setup.language = setup_.language;
  setup.mappings = mappings_.get();
  setup.settings = setup_.settings;
  setup.programFolder = setup_.programFolder;
  setup.instance = setup_.instance;
  return setup;
}

void ProgramWindow::P2pCellClicked(MvListView& list, int row, int column) {
  auto* file = reinterpret_cast<ScanFile*>(list.GetItemData(row));
  if (!file) return;
  RECT cell{};
  cell.top = column;
  cell.left = LVIR_BOUNDS;
  SendMessageW(list.hwnd, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
  if (column == 3) {
    ToggleP2pBlock(window_.hwnd, *file, *setup_.settings, setup_.language);
    InvalidateRect(list.hwnd, &cell, FALSE);
    return;
  }
  if (column != 4) return;
  // Checked while the attempt runs; cleared again when the program is still there.
  SetProperty(file->Properties(), property::kP2pDelete, NumberValue(1));
  InvalidateRect(list.hwnd, &cell, FALSE);
  const bool uninstalled = RunP2PUninstall(window_.hwnd, *file, UninstallSetup());
  // The scan may have added rows meanwhile: the row is found again by its record.
  for (int item = 0; item < list.ItemCount(); ++item) {
    if (reinterpret_cast<ScanFile*>(list.GetItemData(item)) != file) continue;
    if (uninstalled) {
      list.DeleteItem(item);
    } else {
      SetProperty(file->Properties(), property::kP2pDelete, NumberValue(0));
      list.Invalidate();
    }
    break;
  }
  SetForegroundWindow(window_.hwnd);
  WriteLanguageFile(setup_.programFolder, *setup_.language);
}

void ProgramWindow::PrintResult() {
  const ScanReportTexts texts{Text(L"IDS_PROGRAMTITLE"), Text(L"IDS_P2PAPPLICATIONS"), Text(L"IDS_MUSICFILES"),
                              Text(L"IDS_VIDEOFILES"), Text(L"IDS_IMAGEFILES")};
  PrintScanReport(window_.hwnd, window_.properties, texts);
}

void ProgramWindow::ExitProgram() {
  if (!window_.visible && !Login(L"ProgramWindow::ExitProgram()")) return;
  ShowMessage(Text(L"IDS_EXIT_DIALOGBODY").c_str(), Text(L"IDS_WARNING").c_str(), MB_OK);
  WriteLanguageFile(setup_.programFolder, *setup_.language);
  if (tray_) tray_->Remove();
  win::CheckWin32(AppError(), DestroyWindow(window_.hwnd) != FALSE, L"DestroyWindow", L"main window");
}

void ProgramWindow::ShowFromTray() {
  UpdateWindow(window_.hwnd);
  window_.Show(SW_SHOW);
}

void ProgramWindow::HideToTray() { window_.Show(SW_HIDE); }

void ProgramWindow::OpenHelp(const wchar_t* helpFileId) {
  const std::wstring helpText = Text(helpFileId);
  // The viewer opens an empty window without a word for a missing file: say which file it is.
  const std::wstring file = HelpFilePath(setup_.programFolder, helpText);
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    AppError().Report(L"Help file %s not found: %s", file, MvError::GetLastError());
    ShowMessage(FormatPrintf(Text(L"IDS_HELPFILENOTFOUND"), file).c_str(), Text(L"IDS_WARNING").c_str(),
                MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  const std::wstring parameters = HelpViewerParameters(setup_.programFolder, helpText);
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(window_.hwnd, L"open", L"hh", parameters.c_str(), nullptr, SW_SHOWNORMAL));
  if (result <= 32) AppError().Report(L"ShellExecuteW(hh %s) failed: %d", parameters, static_cast<int>(result));
}

// --- Tray --------------------------------------------------------------------------------------

void ProgramWindow::OnTrayDoubleClick(const wchar_t*, void* context) {
  ProgramWindow& self = Self(context);
  if (self.window_.visible) {
    SetForegroundWindow(self.window_.hwnd);
  } else if (self.Login(L"ProgramWindow::OnTrayDoubleClick()")) {
    self.ShowFromTray();
  }
}

win::UniqueMenu ProgramWindow::BuildTrayMenu() {
  win::UniqueMenu menu(win::CheckedHandle(AppError(), CreatePopupMenu(), L"CreatePopupMenu"));
  if (!menu) return menu;
  for (const TrayMenuItem& item : TrayMenuItems(window_.visible != 0)) {
    const std::wstring text = Text(item.stringId);
    win::CheckWin32(AppError(),
                    AppendMenuW(menu.get(), MF_STRING | (item.greyed ? MF_GRAYED : MF_ENABLED),
                                static_cast<UINT_PTR>(GetUniqueIdCode(item.stringId)), text.c_str()) != FALSE,
                    L"AppendMenuW", item.stringId);
  }
  return menu;
}

void ProgramWindow::OnTrayMenu(const wchar_t*, void* context) {
  ProgramWindow& self = Self(context);
  win::UniqueMenu menu = self.BuildTrayMenu();
  if (!menu) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  // Without it the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(self.window_.hwnd);
  TrackPopupMenu(menu.get(), TPM_RIGHTALIGN | TPM_BOTTOMALIGN | TPM_HORNEGANIMATION | TPM_VERNEGANIMATION, cursor.x,
                 cursor.y, 0, self.window_.hwnd, nullptr);
  PostMessageW(self.window_.hwnd, WM_NULL, 0, 0);
}

void ProgramWindow::OnTaskbarCreated(const wchar_t*, void* context) {
  ProgramWindow& self = Self(context);
  if (self.tray_) self.tray_->Readd();
}

// --- Close, destroy, size, move ------------------------------------------------------------------

int32_t ProgramWindow::OnClose(void*, void* context) {
  Self(context).HideToTray();
  return 1;
}

void ProgramWindow::OnDestroy(const wchar_t*, void* context) {
  ProgramWindow& self = Self(context);
  if (auto hook = reinterpret_cast<UninstallHook>(self.window_.GetProperty(kUninstallHookProperty))) hook();
  if (self.tray_) self.tray_->Remove();
}

int32_t ProgramWindow::OnSize(void* data, void* context) {
  const auto lParam = static_cast<LPARAM>(reinterpret_cast<intptr_t>(data));
  Self(context).Relayout(LOWORD(lParam), HIWORD(lParam));
  return 0;
}

int32_t ProgramWindow::OnSizing(void* data, void* context) {
  ProgramWindow& self = Self(context);
  const RECT* drag = static_cast<const RECT*>(data);
  RECT window{}, client{};
  if (!drag || !GetWindowRect(self.window_.hwnd, &window) || !GetClientRect(self.window_.hwnd, &client)) return 0;
  const ClientSize size = ClientSizeWhileSizing(
      {drag->left, drag->top, drag->right - drag->left, drag->bottom - drag->top},
      {window.left, window.top, window.right - window.left, window.bottom - window.top},
      {client.right - client.left, client.bottom - client.top});
  self.Relayout(size.width, size.height);
  return 0;
}

int32_t ProgramWindow::OnMove(void* data, void* context) {
  ProgramWindow& self = Self(context);
  const auto lParam = static_cast<LPARAM>(reinterpret_cast<intptr_t>(data));
  MvChildWindow* progress = FindChildWindow(kScanWindowName);
  if (!progress) return 0;
  const Point at = CentreOver(static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam)),
                              self.window_.width, self.window_.height, progress->width, progress->height);
  progress->Place(at.x, at.y, progress->width, progress->height);
  return 0;
}

void ProgramWindow::Relayout(int32_t width, int32_t height) {
  const auto [deltaX, deltaY] = relayout_.Advance(createdSize_, {width, height});
  const int32_t dx = deltaX, dy = deltaY;
  MvStatusBar* statusBar = FindStatusBar();
  if (statusBar) {
    auto [half, whole] = StatusBarParts(width);
    statusBar->SetParts({half, whole});
    SetWindowPos(statusBar->hwnd, nullptr, 0, 0, 0, 0, SWP_NOZORDER);
    statusBar->UpdateRect();
  }
  MvChildWindow* topicPanel = FindChildWindow(L"IDC_PANEL_TOPIC");
  auto apply = [&](const LayoutRuleEntry& rule) {
    if (rule.needsStatusBar && !statusBar) return;
    MvControl* control = nullptr;
    switch (rule.kind) {
      case LayoutKind::ChildWindow: control = FindChildWindow(rule.name); break;
      case LayoutKind::TopicButton: control = topicPanel ? FindButton(topicPanel, rule.name) : nullptr; break;
      case LayoutKind::ComboBox: control = FindComboBox(rule.name); break;
      case LayoutKind::ListView: control = FindListView(rule.name); break;
    }
    if (!control) return;
    const Placement next =
        ApplyLayoutRule(rule.rule, {control->x, control->y, control->width, control->height}, width, dx, dy);
    control->Place(next.x, next.y, next.width, next.height);
  };
  // Panels and combo boxes, then the toolbar (it places itself), then the list views.
  for (const LayoutRuleEntry& rule : RelayoutRules()) {
    if (rule.kind != LayoutKind::ListView) apply(rule);
  }
  if (MvToolBar* toolBar = FindToolBar()) {
    SetWindowPos(toolBar->hwnd, nullptr, 0, 0, 0, 0, SWP_NOZORDER);
    toolBar->UpdateRect();
  }
  for (const LayoutRuleEntry& rule : RelayoutRules()) {
    if (rule.kind == LayoutKind::ListView) apply(rule);
  }
  if (MvChildWindow* progress = FindChildWindow(kScanWindowName)) {
    const Point at = CentreOver(window_.x, window_.y, width, height, progress->width, progress->height);
    progress->Place(at.x, at.y, progress->width, progress->height);
  }
}

// --- Start-up ------------------------------------------------------------------------------------

int RunMainWindow(HINSTANCE instance, const StartupSwitches& switches, SettingsStore& settings) {
  ProgramWindowSetup setup;
  setup.instance = instance;
  setup.language = &LanguageTable();
  setup.configuration = &ConfigurationTable();
  setup.settings = &settings;
  setup.programFolder = ModuleFolder();
  setup.hidden = switches.noShow;
  ProgramWindow main(std::move(setup));
  if (!main.Create()) {
    AppError().Report(L"Failed to create Tessaly Program Window, now exiting: Error(%s)", MvError::GetLastError());
    MessageBoxW(nullptr, L"Failed to create Tessaly Program Window, now exiting", L"Critical Error", MB_ICONERROR);
    return kExitFailed;
  }
  if (!switches.noShow) main.ShowAtStart();
  RunMessageLoop();
  return kExitNormal;
}

}  // namespace tessaly
