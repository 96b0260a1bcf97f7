// Updater.exe: started by Tessaly from its "UpdatedFiles" folder once new files are there. It
// waits (bounded) until the program has ended, copies every downloaded file over the
// installation — each written beside its target and then moved into place, so a failure leaves
// the old file intact — and starts the program again. What it did goes to "Updater.log" beside
// itself.
//
//   Updater.exe MutexCode=...;SourceFolderPath=...;DestinationFolderPath=...;ExecuteOnEnd=...;
//               ExecuteOnEndParameters=-silent
#include "Clock.h"
#include "DebugLog.h"
#include "SystemInfo.h"
#include "TextConvert.h"
#include "UpdaterCommand.h"
#include "WinHandles.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tessaly {
namespace {

// How long the program may take to end, and how long a target may stay locked after that.
constexpr DWORD kProgramEndTimeout = 60000;
constexpr int kMoveAttempts = 20;
constexpr DWORD kMoveRetryDelay = 250;

class UpdaterLog {
 public:
  explicit UpdaterLog(const std::wstring& path) : file_(_wfopen(path.c_str(), L"ab")) {}
  ~UpdaterLog() {
    if (file_) fclose(file_);
  }
  template <typename... Args>
  void Line(std::wstring_view format, const Args&... args) {
    SystemTime now = LocalTimeNow();
    std::wstring line = FormatPrintf(L"%04d-%02d-%02d %02d:%02d:%02d ", now.year, now.month, now.day, now.hour,
                                     now.minute, now.second) +
                        FormatPrintf(format, args...) + L"\r\n";
    DebugWrite(L"Updater: " + line);
    if (!file_) return;
    std::string bytes = WideToUtf8(line);
    fwrite(bytes.data(), 1, bytes.size(), file_);
    fflush(file_);
  }

 private:
  FILE* file_;
};

std::wstring SystemText(DWORD code) {
  wchar_t* buffer = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  std::wstring text = buffer ? buffer : L"";
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  return FormatPrintf(L"%s (%lu)", text, static_cast<unsigned long>(code));
}

std::wstring WithSeparator(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder;
}

// True once no process holds the mutex (or it never existed).
bool WaitForProgramEnd(const std::wstring& mutexCode, UpdaterLog& log) {
  if (mutexCode.empty()) return true;
  ULONGLONG deadline = GetTickCount64() + kProgramEndTimeout;
  for (;;) {
    // MUTEX_MODIFY_STATE too: a mutex taken and not released would still be held when the
    // program starts again, and the new instance would take itself for a second one.
    win::UniqueKernelHandle mutex(OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, mutexCode.c_str()));
    if (!mutex) {
      log.Line(L"Program has ended (mutex %s is gone)", mutexCode);
      return true;
    }
    ULONGLONG now = GetTickCount64();
    if (now >= deadline) break;
    DWORD wait = WaitForSingleObject(mutex.get(), static_cast<DWORD>(deadline - now));
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
      if (!ReleaseMutex(mutex.get())) {
        log.Line(L"Releasing mutex %s failed: %s", mutexCode, SystemText(GetLastError()));
        return false;
      }
      log.Line(L"Program has ended (mutex %s is free)", mutexCode);
      return true;
    }
    if (wait != WAIT_TIMEOUT) {
      log.Line(L"Waiting for mutex %s failed: %s", mutexCode, SystemText(GetLastError()));
      return false;
    }
  }
  log.Line(L"Program still runs after %lu ms (mutex %s); nothing installed", kProgramEndTimeout, mutexCode);
  return false;
}

// The target may stay locked for a moment after the program released its mutex.
bool MoveWithRetries(const std::wstring& from, const std::wstring& to, DWORD& error) {
  for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    error = GetLastError();
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) break;
    Sleep(kMoveRetryDelay);
  }
  return false;
}

bool InstallFile(const std::wstring& name, const UpdaterCommand& command, const std::wstring& ownName,
                 UpdaterLog& log) {
  std::wstring source = command.sourceFolder + name;
  std::wstring target = command.destinationFolder + name;
  std::wstring staging = target + L".update-new";
  if (!CopyFileW(source.c_str(), staging.c_str(), FALSE)) {
    log.Line(L"Failed to copy %s to %s: %s", source, staging, SystemText(GetLastError()));
    DeleteFileW(staging.c_str());
    return false;
  }
  DWORD error = 0;
  if (!MoveWithRetries(staging, target, error)) {
    log.Line(L"Failed to replace %s: %s; the old file stays", target, SystemText(error));
    DeleteFileW(staging.c_str());
    return false;
  }
  log.Line(L"Installed %s", target);
  // Installed files leave the folder, so a later start does not apply them again. The running
  // updater cannot delete itself.
  if (CompareStringOrdinal(name.c_str(), -1, ownName.c_str(), -1, TRUE) != CSTR_EQUAL &&
      !DeleteFileW(source.c_str())) {
    log.Line(L"Could not remove %s: %s", source, SystemText(GetLastError()));
  }
  return true;
}

bool InstallAll(const UpdaterCommand& command, const std::wstring& ownName, UpdaterLog& log) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  win::UniqueFind find(FindFirstFileW((command.sourceFolder + L"*").c_str(), &found));
  if (!find) {
    log.Line(L"Cannot list %s: %s", command.sourceFolder, SystemText(GetLastError()));
    return false;
  }
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (!IsInstallableUpdateFile(found.cFileName)) {
      log.Line(L"Skipped %s", found.cFileName);
      continue;
    }
    names.emplace_back(found.cFileName);
  } while (FindNextFileW(find.get(), &found));
  bool allInstalled = true;
  for (const std::wstring& name : names) {
    if (!InstallFile(name, command, ownName, log)) allInstalled = false;
  }
  return allInstalled;
}

bool StartProgramAgain(const UpdaterCommand& command, UpdaterLog& log) {
  if (command.executeOnEnd.empty()) return true;
  std::wstring commandLine = L"\"" + command.executeOnEnd + L"\"";
  if (!command.executeOnEndParameters.empty()) commandLine += L" " + command.executeOnEndParameters;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring folder = command.destinationFolder;
  if (!CreateProcessW(command.executeOnEnd.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    log.Line(L"Failed to start %s: %s", commandLine, SystemText(GetLastError()));
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  log.Line(L"Started %s", commandLine);
  return true;
}

int Run() {
  std::wstring ownFolder = ModuleFolder();
  wchar_t ownPath[1040] = {};
  GetModuleFileNameW(nullptr, ownPath, 1040);
  std::wstring ownName = std::wstring(ownPath).substr(ownFolder.size());
  UpdaterLog log(ownFolder + kUpdaterLogName);

  std::wstring_view arguments = CommandLineArguments(GetCommandLineW());
  log.Line(L"Started with %s", std::wstring(arguments));
  std::optional<UpdaterCommand> command = ParseUpdaterParameters(arguments);
  if (!command || command->sourceFolder.empty() || command->destinationFolder.empty()) {
    log.Line(L"Parameters not understood; nothing installed");
    return 2;
  }
  command->sourceFolder = WithSeparator(command->sourceFolder);
  command->destinationFolder = WithSeparator(command->destinationFolder);

  if (!WaitForProgramEnd(command->mutexCode, log)) return 3;
  bool installed = InstallAll(*command, ownName, log);
  bool started = StartProgramAgain(*command, log);
  log.Line(L"Finished: %s", installed ? L"every file installed" : L"some files were not installed");
  return installed && started ? 0 : 1;
}

}  // namespace
}  // namespace tessaly

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  try {
    return tessaly::Run();
  } catch (...) {
    return 4;
  }
}
