#include "P2PUninstaller_win.h"

#include "CaseFold.h"
#include "DebugLog.h"

#include <shlwapi.h>
#include <tlhelp32.h>

#include <cstdio>

namespace tessaly {
namespace {

std::wstring SystemCommandInterpreter() {
  wchar_t folder[MAX_PATH];
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  // By full path: a cmd.exe in the program's or the current folder is never the one run.
  if (n == 0 || n >= MAX_PATH) return L"C:\\Windows\\System32\\cmd.exe";
  return std::wstring(folder, n) + L"\\cmd.exe";
}

bool PathExists(const std::wstring& path) { return PathFileExistsW(path.c_str()) != FALSE; }

}  // namespace

int TerminateProcessesOf(const std::wstring& exePath) {
  win::UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) {
    DebugPrint(L"TerminateProcessesOf(), CreateToolhelp32Snapshot failed (%lu)\r\n",
               static_cast<unsigned long>(GetLastError()));
    return 0;
  }
  const DWORD self = GetCurrentProcessId();
  int ended = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == self || entry.th32ProcessID == 0) continue;
    win::UniqueKernelHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
    if (!process) continue;  // another user's or a protected process: not ours to end
    wchar_t image[MAX_PATH * 2];
    DWORD length = MAX_PATH * 2;
    if (!QueryFullProcessImageNameW(process.get(), 0, image, &length)) continue;
    if (!EqualsNoCase(std::wstring_view(image, length), exePath)) continue;
    // Every copy, not only the first: a second one would keep the file in use.
    if (TerminateProcess(process.get(), 0)) {
      WaitForSingleObject(process.get(), 5000);
      ++ended;
    } else {
      DebugPrint(L"TerminateProcessesOf(), TerminateProcess of %lu failed (%lu)\r\n",
                 static_cast<unsigned long>(entry.th32ProcessID), static_cast<unsigned long>(GetLastError()));
    }
  }
  return ended;
}

P2PUninstaller::P2PUninstaller(std::wstring programFolder, UninstallStringReader uninstallString, DWORD settleMs)
    : programFolder_(std::move(programFolder)),
      uninstallString_(std::move(uninstallString)),
      settleMs_(settleMs),
      stopEvent_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      error_(std::make_unique<MvError>()) {
  if (!programFolder_.empty() && programFolder_.back() != L'\\') programFolder_ += L'\\';
  if (!stopEvent_) error_->Report(L"P2PUninstaller: CreateEventW failed (%lu)", static_cast<unsigned long>(GetLastError()));
}

P2PUninstaller::~P2PUninstaller() { StopWatching(); }

bool P2PUninstaller::Run(const std::wstring& exePath, const std::wstring& key) {
  DebugPrint(L"Starting P2P Uninstaller, ExeFile(%s), key(%s)\r\n", exePath, key);
  succeeded_ = false;

  // A running copy keeps its files in use, and the uninstaller would fail or ask to close it.
  if (TerminateProcessesOf(exePath) > 0) Sleep(settleMs_);

  const ResolvedUninstaller command = ResolveUninstaller(exePath, key, uninstallString_, PathExists);
  if (!command.ok) {
    error_->Report(L"P2PUninstaller: nothing to run for key(%s): %s", key, command.why);
    return false;
  }
  batchPath_ = UninstallBatchPath(programFolder_, batchCounter_);
  batchCounter_ = NextBatchCounter(batchCounter_);
  if (!WriteBatchFile(command)) {
    DebugPrint(L"P2PUninstaller: Failed to create batch file\r\n");
    batchPath_.clear();
    return false;
  }
  stopped_ = true;
  DebugPrint(L"Uninstalling software, Key(%s), ExeFile(%s), Command(%s%s)\r\n", key, exePath, command.program,
             command.arguments);

  if (StartMonitor()) {
    events.ExecuteAll_BinaryEventProcs(kEventUninstallStart, this);
    if (watchThread_) {
      WaitForSingleObject(watchThread_.get(), INFINITE);
      watchThread_.reset();
      watchThreadId_ = 0;
    } else {
      // No watching thread could be made: wait for the monitor here instead of for a thread
      // that does not exist.
      WaitForSingleObject(monitorProcess_.get(), INFINITE);
      events.ExecuteAll_BinaryEventProcs(kEventMonitorDone, this);
      monitorProcess_.reset();
      stopped_ = true;
    }
    succeeded_ = !PathExists(exePath);
    events.ExecuteAll_BinaryEventProcs(kEventUninstallStop, this);
  }

  Sleep(settleMs_);
  if (PathExists(exePath)) SetFileAttributesW(exePath.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!DeleteFileW(batchPath_.c_str())) {
    error_->Report(L"P2PUninstaller: DeleteFileW(%s) failed (%lu)", batchPath_, static_cast<unsigned long>(GetLastError()));
  }
  batchPath_.clear();
  return succeeded_;
}

bool P2PUninstaller::WriteBatchFile(const ResolvedUninstaller& command) {
  const std::wstring line = BatchRunLine(command.program, command.arguments);
  if (line.empty()) {
    error_->Report(L"P2PUninstaller: the command cannot be written safely: %s%s", command.program, command.arguments);
    return false;
  }
  const std::wstring text = L"@echo off\r\n" + line + L"\r\n";
  // cmd reads a batch file in the console's (OEM) code page; a character it cannot hold would
  // name another file, so such a command is not run at all.
  BOOL lossy = FALSE;
  const int bytes = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, &lossy);
  std::string narrow(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes <= 0 || lossy ||
      WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), narrow.data(),
                          bytes, nullptr, &lossy) != bytes ||
      lossy) {
    error_->Report(L"P2PUninstaller: the command does not fit the console code page: %s", line);
    return false;
  }
  win::UniqueFile file(CreateFileW(batchPath_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    error_->Report(L"P2PUninstaller: CreateFileW(%s) failed (%lu)", batchPath_, static_cast<unsigned long>(GetLastError()));
    return false;
  }
  DWORD written = 0;
  if (!WriteFile(file.get(), narrow.data(), static_cast<DWORD>(narrow.size()), &written, nullptr) ||
      written != narrow.size()) {
    error_->Report(L"P2PUninstaller: WriteFile(%s) failed (%lu)", batchPath_, static_cast<unsigned long>(GetLastError()));
    file.reset();
    DeleteFileW(batchPath_.c_str());
    return false;
  }
  return true;
}

bool P2PUninstaller::StartMonitor() {
  const std::wstring monitorPath = programFolder_ + monitorName_;
  std::wstring commandLine = MonitorCommandLine(SystemCommandInterpreter(), batchPath_);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // Nothing of this process is inherited: the uninstaller has no business with its handles.
  if (!CreateProcessW(monitorPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    error_->Report(L"P2PUninstaller: CreateProcessW(%s) failed (%lu)", monitorPath,
                   static_cast<unsigned long>(GetLastError()));
    return false;
  }
  win::UniqueKernelHandle thread(info.hThread);
  StopWatching();
  monitorProcess_.reset(info.hProcess);
  stopped_ = false;
  if (stopEvent_) {
    ResetEvent(stopEvent_.get());
    watchThread_.reset(CreateThread(nullptr, 0, &P2PUninstaller::WatchMain, this, 0, &watchThreadId_));
  }
  if (!watchThread_) {
    watchThreadId_ = 0;
    error_->Report(L"P2PUninstaller: CreateThread failed (%lu)", static_cast<unsigned long>(GetLastError()));
  }
  return true;
}

DWORD WINAPI P2PUninstaller::WatchMain(void* arg) {
  auto* self = static_cast<P2PUninstaller*>(arg);
  const HANDLE waits[2] = {self->stopEvent_.get(), self->monitorProcess_.get()};
  if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
    self->events.ExecuteAll_BinaryEventProcs(kEventMonitorDone, self);
    self->monitorProcess_.reset();
    self->stopped_ = true;
  }
  return 0;
}

void P2PUninstaller::StopWatching() {
  if (!watchThread_) return;
  SetEvent(stopEvent_.get());
  const HANDLE thread = watchThread_.get();
  bool quit = false;
  WPARAM quitCode = 0;
  for (;;) {
    const DWORD woke = quit ? WaitForSingleObject(thread, INFINITE)
                            : MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT);
    if (woke != WAIT_OBJECT_0 + 1 || quit) break;
    MSG message;
    while (!quit && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // The thread still uses this object: keep waiting (it has been told to stop) and leave
        // the quit for the loop that owns it.
        quit = true;
        quitCode = message.wParam;
        break;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
  watchThread_.reset();
  watchThreadId_ = 0;
}

}  // namespace tessaly
