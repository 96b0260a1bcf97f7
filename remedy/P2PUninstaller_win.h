// One attempt to remove a P2P program through its own uninstaller: running copies of the program
// are ended, the uninstaller's command goes into a temporary batch file, TessMon.exe runs that
// batch file and waits for everything it starts, and the attempt counts as a success when the
// program's executable is gone afterwards. Run blocks; call it from a worker thread.
//
// Events on `events` (data: this object): "EVENT_UNINSTALLSTART" once the monitor is watched,
// "EVENT_MONITORDONE" from the watching thread when the monitor has ended, "EVENT_UNINSTALLSTOP"
// after `Succeeded()` is set.
#pragma once

#include "MvError.h"
#include "MvEventHandler.h"
#include "UninstallCommand.h"
#include "WinHandles.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace tessaly {

inline constexpr const wchar_t* kEventUninstallStart = L"EVENT_UNINSTALLSTART";
inline constexpr const wchar_t* kEventUninstallStop = L"EVENT_UNINSTALLSTOP";
inline constexpr const wchar_t* kEventMonitorDone = L"EVENT_MONITORDONE";

class P2PUninstaller {
 public:
  // programFolder (ending in a backslash) holds TessMon.exe and receives the batch file;
  // uninstallString reads the registry's uninstall entries. settleMs is the pause after ending
  // running copies and after the run (files of a just-ended process take a moment to free).
  P2PUninstaller(std::wstring programFolder, UninstallStringReader uninstallString, DWORD settleMs = 1000);
  ~P2PUninstaller();  // stops a watching thread that is still running
  P2PUninstaller(const P2PUninstaller&) = delete;
  P2PUninstaller& operator=(const P2PUninstaller&) = delete;

  // True when the executable no longer exists after the uninstaller (and all it started) ended.
  bool Run(const std::wstring& exePath, const std::wstring& key);

  bool Succeeded() const { return succeeded_; }
  bool Stopped() const { return stopped_; }
  // The batch file of the run under way (it exists from before "EVENT_UNINSTALLSTART" to the end).
  const std::wstring& BatchPath() const { return batchPath_; }
  MvEventHandler events;
  MvError& error() { return *error_; }

 private:
  static DWORD WINAPI WatchMain(void* self);
  // Ends the watching thread and waits for it, dispatching this thread's messages meanwhile.
  void StopWatching();
  bool WriteBatchFile(const ResolvedUninstaller& command);
  // Starts TessMon.exe on the batch file; false (reported) when it could not be started.
  bool StartMonitor();

  const std::wstring monitorName_ = L"TessMon.exe";
  std::wstring programFolder_;
  UninstallStringReader uninstallString_;
  DWORD settleMs_;
  uint32_t batchCounter_ = 0;
  std::wstring batchPath_;
  std::atomic<bool> stopped_{true};
  bool succeeded_ = false;
  win::UniqueKernelHandle monitorProcess_;
  win::UniqueKernelHandle watchThread_;
  win::UniqueKernelHandle stopEvent_;
  DWORD watchThreadId_ = 0;
  std::unique_ptr<MvError> error_;
};

// Ends every other process whose executable is exePath (compared without regard to case). The
// number ended.
int TerminateProcessesOf(const std::wstring& exePath);

}  // namespace tessaly
