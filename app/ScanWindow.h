// The window side of a scan run: the progress window with its looping animation, and the feed
// that brings what the scan thread produces (rows, status texts, start and finish) to the
// user-interface thread through the bridge, in batches. There the rows are inserted with
// redrawing held off, the status bar is refreshed and the commands are enabled or greyed.
#pragma once

#include "RowBatcher.h"
#include "ScanRun.h"
#include "ScanViews.h"
#include "StringTable.h"
#include "UiBridge.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>

namespace tessaly {

class MvChildWindow;

// One row for a list, as the scan thread made it.
struct FeedRow {
  const wchar_t* listView = nullptr;
  ScanFile* file = nullptr;
  std::wstring text;
  std::wstring columns[3];
};

inline constexpr const wchar_t* kProgressWindowName = L"IDD_SCANINPROGRESSWINDOW";
inline constexpr int kProgressAnimationResource = 145;

class ScanWindow {
 public:
  struct Setup {
    HINSTANCE instance = nullptr;
    StringTable* language = nullptr;
    ScanRun* run = nullptr;
    UiBridge* bridge = nullptr;
    ScanViews* views = nullptr;
    // Whether the end of a scan opens the scan-done wizard (tests of the views keep it closed).
    bool scanDoneWizard = true;
    // Runs the uninstall of one P2P program chosen in the wizard, once per program in the
    // order of the list; empty: each program is only logged.
    std::function<void(ScanFile&)> uninstallP2p;
  };

  // Subscribes to the run's events (they fire on the scan thread).
  explicit ScanWindow(Setup setup);
  ScanWindow(const ScanWindow&) = delete;
  ScanWindow& operator=(const ScanWindow&) = delete;

  // The progress window, then StartDiskScan. False when a scan was running (the views are
  // emptied and nothing else starts).
  bool Start(const std::wstring& searchPath, const std::wstring& filterText);
  // "Ready" or "Scanning: <path>" and the counts in the status bar.
  void UpdateScanStatus(const ScanStatusText& status);
  // The user-interface thread's side of the finish has run for the last scan.
  bool FinishedShown() const { return finishedShown_; }
  // Rows waiting for the user-interface thread.
  size_t RowsWaiting() const { return batcher_.Pending(); }

 private:
  using Batcher = RowBatcher<FeedRow, ScanStatusText>;

  // Scan thread.
  static int32_t OnViewsCleared(void* data, void* context);
  static int32_t OnStartedWorker(void* data, void* context);
  static int32_t OnAddItemWorker(void* data, void* context);
  static int32_t OnStatusWorker(void* data, void* context);
  static int32_t OnFinishedWorker(void* data, void* context);
  void PostDrain();
  void PostTask(void (ScanWindow::*step)(), uint64_t generation);

  // User-interface thread.
  void Drain();
  void Insert(Batcher::Batch batch);
  void OnStarted();
  void OnFinished();
  void ShowProgressWindow();
  void HideProgressWindow();
  // The scan-done wizard over the run's counts and the P2P list, then the hand-over of the
  // programs chosen there.
  void RunScanDoneWizard();
  static int32_t PaintProgressWindow(void* data, void* context);
  std::wstring Text(const wchar_t* id) const;

  Setup setup_;
  Batcher batcher_;
  std::atomic<bool> finishedShown_{false};
};

// Applies a command table (toolbar buttons, menu items, left-panel buttons, combo boxes) to the
// main window.
void ApplyCommandStates(const CommandStates& states);

}  // namespace tessaly
