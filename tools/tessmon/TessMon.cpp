// TessMon.exe: started by Tessaly as "TessMon.exe <uninstaller>". It starts the uninstaller and
// ends only when that process and every process it started have ended — uninstallers commonly
// copy themselves to a temp folder, start the copy and exit at once. All of them run in a job
// object, so the count of live processes in the job is the answer. If nothing in the job changes
// for the stall time the uninstaller is taken to hang and TessMon gives up.
//
// Exit codes: 0 the uninstallation ended, 1 no uninstaller was named, 2 it could not be started,
// 3 gave up after the stall time. The stall time is 30 minutes; TESSMON_STALL_MS overrides it.
#include "WinHandles.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <string>

namespace tessaly {
namespace {

using win::UniqueKernelHandle;

constexpr DWORD kDefaultStallMs = 30 * 60 * 1000;
constexpr DWORD kPollMs = 50;

enum ExitCode : int { kEnded = 0, kNoCommand = 1, kStartFailed = 2, kStalled = 3 };

void Report(const wchar_t* what) {
  wchar_t line[160];
  swprintf(line, 160, L"TessMon: %ls failed (%lu)\r\n", what, static_cast<unsigned long>(GetLastError()));
  OutputDebugStringW(line);
}

// The command line after TessMon's own program name (quoted or not).
std::wstring UninstallerCommand(const wchar_t* line) {
  const wchar_t* p = line;
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

DWORD StallMs() {
  wchar_t buffer[32];
  DWORD n = GetEnvironmentVariableW(L"TESSMON_STALL_MS", buffer, 32);
  if (n == 0 || n >= 32) return kDefaultStallMs;
  unsigned long value = wcstoul(buffer, nullptr, 10);
  return value == 0 ? kDefaultStallMs : static_cast<DWORD>(value);
}

int Run() {
  std::wstring command = UninstallerCommand(GetCommandLineW());
  if (command.empty()) return kNoCommand;

  UniqueKernelHandle job(CreateJobObjectW(nullptr, nullptr));
  if (!job) Report(L"CreateJobObjectW");

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  // Suspended until it is in the job, so nothing it starts can escape the count.
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                      &info)) {
    Report(L"CreateProcessW");
    return kStartFailed;
  }
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle thread(info.hThread);
  bool inJob = job && AssignProcessToJobObject(job.get(), process.get());
  if (job && !inJob) Report(L"AssignProcessToJobObject");
  if (ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
    Report(L"ResumeThread");
    TerminateProcess(process.get(), 0);
    return kStartFailed;
  }

  const DWORD stall = StallMs();
  DWORD lastChange = GetTickCount();
  DWORD lastActive = 0, lastTotal = 0;
  for (;;) {
    if (!inJob) {
      // Without a job only the first process can be watched.
      DWORD r = WaitForSingleObject(process.get(), stall);
      return r == WAIT_OBJECT_0 ? kEnded : kStalled;
    }
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (!QueryInformationJobObject(job.get(), JobObjectBasicAccountingInformation, &accounting, sizeof(accounting),
                                   nullptr)) {
      Report(L"QueryInformationJobObject");
      inJob = false;
      continue;
    }
    if (accounting.ActiveProcesses == 0) return kEnded;
    if (accounting.ActiveProcesses != lastActive || accounting.TotalProcesses != lastTotal) {
      lastActive = accounting.ActiveProcesses;
      lastTotal = accounting.TotalProcesses;
      lastChange = GetTickCount();
    } else if (GetTickCount() - lastChange >= stall) {
      return kStalled;
    }
    Sleep(kPollMs);
  }
}

}  // namespace
}  // namespace tessaly

int wmain() { return tessaly::Run(); }
