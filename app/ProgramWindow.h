// The program's main window: the one top-level framework window with its tray icon, toolbar,
// status bar, the two search combo boxes and the menu, the handlers of its events (creation,
// commands, tray, close, destroy, size, sizing, move) and what they start: the volume enumeration
// and the scan.
#pragma once

#include "FileRecognition.h"
#include "Framework.h"
#include "MvDiskScan.h"
#include "P2pBlocker_win.h"
#include "P2pUninstall.h"
#include "P2pSignature.h"
#include "Relayout.h"
#include "ScanRun.h"
#include "ScanViews.h"
#include "ScanWindow.h"
#include "SettingsStore.h"
#include "SharedFolderMappings.h"
#include "StartupModel.h"
#include "StringTable.h"
#include "TrayIcon.h"
#include "UiBridge.h"
#include "WinHandles.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tessaly {

class MvComboBox;
class MvListView;

struct ProgramWindowSetup {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  StringTable* language = nullptr;
  StringTable* configuration = nullptr;
  SettingsStore* settings = nullptr;
  std::wstring programFolder;  // ends in a backslash
  bool hidden = false;         // "-noshow"
  MvDiskScan::ApiFactory volumes = OpenSystemVolumeApi;  // tests describe a made-up computer
  // Whether a finished scan opens the scan-done wizard (tests of the views keep it closed).
  bool scanDoneWizard = true;
  // The uninstall of one P2P program chosen in the wizard; empty: the program's own uninstall flow.
  std::function<void(ScanFile&)> uninstallP2p;
};

class ProgramWindow {
 public:
  explicit ProgramWindow(ProgramWindowSetup setup);
  ~ProgramWindow();
  ProgramWindow(const ProgramWindow&) = delete;
  ProgramWindow& operator=(const ProgramWindow&) = delete;

  // Makes this the program's main window, attaches the six window handlers and creates the
  // window (its contents are built while it is created). False on failure; GetLastError holds
  // the reason.
  bool Create();
  // Shown maximised, as at start-up without "-noshow".
  void ShowAtStart();

  MvChildWindow& Window() { return window_; }
  TrayIcon* Tray() { return tray_.get(); }
  HFONT UiFont() const { return font_.get(); }
  // The height of the search combo row (0 without the search-path combo).
  int32_t ComboRowHeight() const { return comboRowHeight_; }
  bool VolumesEnumerated() const { return volumesEnumerated_.load(); }
  ScanRun* Scan() { return scan_.get(); }
  ScanViews* Views() { return views_.get(); }
  ScanWindow* ScanProgress() { return scanWindow_.get(); }
  const UiBridge& Bridge() const { return bridge_; }

  // The tray icon's menu as it is shown at the moment.
  win::UniqueMenu BuildTrayMenu();
  // What the uninstall flow needs of this window (its lists are found by name).
  P2pUninstallSetup UninstallSetup() const;
  // The proportional re-layout for a new client size.
  void Relayout(int32_t width, int32_t height);

 private:
  // Window handlers attached at creation.
  static void OnCreate(const wchar_t* text, void* context);
  static int32_t OnClose(void* data, void* context);
  static void OnDestroy(const wchar_t* text, void* context);
  static int32_t OnSizing(void* data, void* context);
  static int32_t OnSize(void* data, void* context);
  static int32_t OnMove(void* data, void* context);
  // Attached by the creation handler.
  static void OnCommand(const wchar_t* name, void* context);
  static void OnTrayDoubleClick(const wchar_t* text, void* context);
  static void OnTrayMenu(const wchar_t* text, void* context);
  static void OnTaskbarCreated(const wchar_t* text, void* context);
  static void OnBrowse(const wchar_t* selected, void* context);
  static int32_t OnNewVolume(void* data, void* context);
  static void OnVolumesListedWorker(const wchar_t* text, void* context);
  static void OnVolumesListed(const wchar_t* text, void* context);

  void BuildContents();
  void LoadScanSettings();
  void AddTrayIcon();
  void CreateUiFont();
  void BuildToolBar();
  void BuildStatusBar();
  void BuildSearchPathCombo();
  void BuildSearchFilterCombo();
  void BuildViews();

  void Command(const std::wstring& name);
  void ShowView(ResultView view);
  void StartScan();
  void StopScan();
  void PauseScan();
  void SaveResult();
  // "Delete Selected": the delete dialog over the checked rows of the media list shown.
  void DeleteSelected();
  void PrintResult();
  // The block (3) and uninstall (4) columns of the P2P list.
  void P2pCellClicked(MvListView& list, int row, int column);
  void ExitProgram();
  void ShowFromTray();
  void HideToTray();
  void OpenHelp(const wchar_t* helpFileId);
  // The welcome dialog on request: it always opens.
  void ShowIntroduction();
  // The options dialog, then the stored limits above 0 become the window's size properties.
  void EditOptions();
  // The window's size properties as the limits of the next scan (never while one runs).
  void ApplySizeLimits();
  // The update dialog; ends the program when it launched the updater.
  void CheckForUpdates();
  // The licence agreement for reading, with the agreement options hidden.
  void ShowLicense();
  // The login dialog (no owner); true when the password or the answer was accepted.
  bool Login(const wchar_t* routine);

  std::wstring Text(const wchar_t* id) const;
  win::UniqueBitmap LoadToolBarBitmap(int resource) const;
  int32_t Scale(int32_t pixels) const { return dpi_.Scale(pixels); }

  // Declared in the order they must outlive each other: the controls outlive the bridge that
  // carries events to them, the volume set outlives its enumeration, everything outlives the scan.
  ProgramWindowSetup setup_;
  DpiScale dpi_;
  MvChildWindow window_;
  std::unique_ptr<TrayIcon> tray_;
  win::UniqueFont font_;
  VolumeSet computer_;
  UiBridge bridge_;
  MvDiskScan diskScan_;
  std::atomic<bool> volumesEnumerated_{false};
  MediaSettings media_;
  SignatureDatabase signatures_;
  bool signaturesLoaded_ = false;
  std::unique_ptr<SharedFolderMappings> mappings_;
  std::unique_ptr<ScanRun> scan_;
  int32_t comboRowHeight_ = 0;
  RelayoutTracker relayout_;
  ClientSize createdSize_;
  // The scan's window side: the worker reaches it until scan_ is reset in the destructor.
  std::unique_ptr<ScanViews> views_;
  std::unique_ptr<ScanWindow> scanWindow_;
  // Runs from creation to exit; destroyed first, so its thread has ended before anything else goes.
  std::unique_ptr<P2pBlocker> blocker_;
};

// Steps 13 to 15 of the start-up: the main window, shown unless "-noshow", and the message loop.
// The exit code.
int RunMainWindow(HINSTANCE instance, const StartupSwitches& switches, SettingsStore& settings);

}  // namespace tessaly
