// The main window's views: the main menu, each of the six result lists after a scan of the demo
// computer, and the progress window while a scan runs. The real main window of this process
// scans; the views are switched by the commands and tab changes the user would make.
#include "GuiTestSupport.h"
#include "Scene.h"

#include "Framework.h"
#include "MvChildWindow.h"
#include "MvComboBox.h"
#include "MvTabControl.h"
#include "ProgramWindow.h"
#include "SettingsStore.h"
#include "TempTree.h"
#include "TextConvert.h"

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

namespace tessaly::test {
namespace {

constexpr int kStartScan = 1027;
constexpr int kShowP2p = 1033;
constexpr int kShowSharedFiles = 1034;
constexpr int kShowOtherFiles = 1035;
constexpr wchar_t kScanWindowName[] = L"IDD_SCANINPROGRESSWINDOW";

// The real main window, shown, in the scene's language.
class SceneMainWindow {
 public:
  explicit SceneMainWindow(Scene& scene) {
    ProgramWindowSetup setup;
    setup.language = &scene.Language();
    setup.configuration = &ShippedConfiguration();
    setup.settings = &settings_;
    setup.programFolder = ProgramFolder();
    setup.volumes = [] { return std::make_unique<NoDrives>(); };
    setup.scanDoneWizard = false;  // the wizard has scenes of its own
    window_ = std::make_unique<ProgramWindow>(std::move(setup));
    if (!window_->Create()) throw std::runtime_error("the main window was not created");
    hwnd_ = window_->Window().hwnd;
    ShowWindow(hwnd_, SW_SHOW);
    if (!PumpUntil([this] { return window_->VolumesEnumerated(); })) {
      throw std::runtime_error("the volumes were not listed");
    }
  }
  ~SceneMainWindow() {
    if (window_->Scan() && window_->Scan()->IsRunning()) window_->Scan()->Stop();
    PumpUntil([this] { return !window_->Scan() || !window_->Scan()->IsRunning(); }, 20000);
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  HWND Hwnd() const { return hwnd_; }
  ProgramWindow& Program() { return *window_; }
  void Command(int id) { SendMessageW(hwnd_, WM_COMMAND, static_cast<WPARAM>(id), 0); }

  void StartScan(const std::wstring& folder) {
    MvComboBox* combo = FindComboBox(L"IDC_CBOX_SEARCHPATH");
    if (!combo) throw std::runtime_error("no search path box");
    SetWindowTextW(combo->hwnd, folder.c_str());
    Command(kStartScan);
  }
  void WaitForFinish() {
    if (!PumpUntil([this] { return window_->ScanProgress()->FinishedShown() && !window_->Scan()->IsRunning(); },
                   60000)) {
      throw std::runtime_error("the scan did not finish");
    }
  }

  // The tab control's change to page, as the control reports it to the main window.
  void SelectTab(const wchar_t* tabName, int page) {
    MvTabControl* tab = FindTabControl(tabName);
    if (!tab) throw std::runtime_error("no tab control " + WideToUtf8(tabName));
    NMHDR change{tab->hwnd, 0, static_cast<UINT>(TCN_SELCHANGING)};
    SendMessageW(hwnd_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
    tab->SelectTab(page);
    change.code = static_cast<UINT>(TCN_SELCHANGE);
    SendMessageW(hwnd_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
  }

 private:
  MemorySettingsStore settings_;
  std::unique_ptr<ProgramWindow> window_;
  HWND hwnd_ = nullptr;
};

std::wstring DemoComputer() {
  std::wstring folder = WindowsFolder(TESSALY_DEMO_COMPUTER);
  folder.pop_back();
  return folder;
}

}  // namespace

TESSALY_SCENE(ViewsAfterDemoScan) {
  SceneMainWindow window(scene);
  scene.Shoot(window.Hwnd(), L"view-mainmenu");
  window.StartScan(DemoComputer());
  window.WaitForFinish();
  window.Command(kShowP2p);
  scene.Shoot(window.Hwnd(), L"view-p2p");
  window.Command(kShowSharedFiles);
  const wchar_t* sharedPages[] = {L"view-shared-media", L"view-shared-images", L"view-shared-other"};
  for (int page = 0; page < 3; ++page) {
    window.SelectTab(L"IDS_SHAREDMEDIA_TAB", page);
    scene.Shoot(window.Hwnd(), sharedPages[page]);
  }
  window.Command(kShowOtherFiles);
  const wchar_t* otherPages[] = {L"view-other-media", L"view-other-images"};
  for (int page = 0; page < 2; ++page) {
    window.SelectTab(L"IDS_LISTVIEW_MUSICANDVIDEOFILESINOTHERFOLDERS", page);
    scene.Shoot(window.Hwnd(), otherPages[page]);
  }
}

TESSALY_SCENE(ViewsScanInProgress) {
  // Enough files that the scan is still walking when it is paused for the picture; every tenth
  // is a song above the size minimum (sparse), so the counters move.
  TempTree tree;
  for (int folder = 0; folder < 200; ++folder) {
    const std::filesystem::path dir = tree.root() / ("Folder " + std::to_string(folder));
    std::filesystem::create_directories(dir);
    for (int file = 0; file < 100; ++file) {
      const std::filesystem::path path = dir / ("Song " + std::to_string(file) + ".mp3");
      std::ofstream(path, std::ios::binary) << "ID3";
      if (file % 10 == 0) std::filesystem::resize_file(path, 1 << 20);
    }
  }
  SceneMainWindow window(scene);
  window.StartScan(tree.RootText());
  ScanRun& run = *window.Program().Scan();
  auto walking = [&] {
    MvChildWindow* progress = FindChildWindow(kScanWindowName);
    return progress && IsWindowVisible(progress->hwnd) && run.FilesChecked() > 2000;
  };
  if (!PumpUntil(walking, 20000) || !run.IsRunning()) throw std::runtime_error("the scan was not caught walking");
  // Paused on the scan itself, not by the command, which would hide the progress window.
  run.TogglePause();
  scene.Shoot(window.Hwnd(), L"view-scan-in-progress");
  run.TogglePause();
}

}  // namespace tessaly::test
