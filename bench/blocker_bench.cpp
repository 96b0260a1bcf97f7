// The P2P blocker's cost under Wine: CPU time of one pass with many running processes and a
// list of blocked names, and how soon the running thread ends a blocked program.
//   blocker-bench [processes=200] [names=20] [passes=1000]
#include "P2pBlocker_win.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace tessaly;

namespace {

const wchar_t kKey[] = L"SOFTWARE\\Tessaly Bench\\Blocked P2p Programs";

HANDLE Start(const std::wstring& app, const wchar_t* arguments) {
  std::wstring line = L"\"" + app + L"\" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(app.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

void SetBlock(HKEY key, const std::wstring& name) {
  std::wstring data = L"Block: 1";
  RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

double ThreadCpuMs() {
  FILETIME c, e, k, u;
  GetThreadTimes(GetCurrentThread(), &c, &e, &k, &u);
  auto ms = [](FILETIME f) { return ((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e4; };
  return ms(k) + ms(u);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wstring(argv[1]) == L"/sleep") {
    Sleep(120000);
    return 0;
  }
  int processes = argc > 1 ? _wtoi(argv[1]) : 200;
  int names = argc > 2 ? _wtoi(argv[2]) : 20;
  int passes = argc > 3 ? _wtoi(argv[3]) : 1000;

  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::vector<HANDLE> running;
  for (int i = 0; i < processes; ++i)
    if (HANDLE p = Start(self, L"/sleep")) running.push_back(p);
  Sleep(2000);

  RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  for (int i = 0; i < names; ++i) SetBlock(key, L"notrunning" + std::to_wstring(i) + L".exe");

  {
    double t = ThreadCpuMs();
    for (int i = 0; i < 100; ++i) {
      HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
      PROCESSENTRY32W e{};
      e.dwSize = sizeof(e);
      for (BOOL more = Process32FirstW(snap, &e); more; more = Process32NextW(snap, &e)) {
      }
      CloseHandle(snap);
    }
    std::printf("of which the process snapshot alone: %.3f ms CPU\n", (ThreadCpuMs() - t) / 100);
  }
  // The query the snapshot is built on, for comparison: most of the snapshot's cost is Wine's.
  {
    using Query = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<char> buffer(4 << 20);
    double t = ThreadCpuMs();
    ULONG got = 0;
    for (int i = 0; i < 100 && query; ++i) query(5, buffer.data(), static_cast<ULONG>(buffer.size()), &got);
    std::printf("NtQuerySystemInformation(processes) alone: %.3f ms CPU\n", (ThreadCpuMs() - t) / 100);
  }
  P2pBlocker blocker(kKey);
  double before = ThreadCpuMs();
  DWORD wallStart = GetTickCount();
  for (int i = 0; i < passes; ++i) blocker.RunPass();
  double cpu = ThreadCpuMs() - before;
  DWORD wall = GetTickCount() - wallStart;
  std::printf("processes running: %zu, blocked names: %d, passes: %d\n", running.size(), names, passes);
  std::printf("CPU per pass: %.3f ms (wall %.3f ms)\n", cpu / passes, static_cast<double>(wall) / passes);

  // How soon the running thread ends a program once it starts.
  std::wstring victim = std::wstring(self);
  victim = victim.substr(0, victim.rfind(L'\\') + 1) + L"benchvictim.exe";
  CopyFileW(self, victim.c_str(), FALSE);
  SetBlock(key, L"benchvictim.exe");
  blocker.Start(15.0f);
  double worst = 0, total = 0;
  const int rounds = 10;
  for (int r = 0; r < rounds; ++r) {
    DWORD t0 = GetTickCount();
    HANDLE p = Start(victim, L"/sleep");
    if (!p) break;
    WaitForSingleObject(p, 5000);
    double gone = GetTickCount() - t0;
    CloseHandle(p);
    total += gone;
    if (gone > worst) worst = gone;
  }
  blocker.Stop();
  std::printf("blocked program gone after: mean %.0f ms, worst %.0f ms (%d starts)\n", total / rounds, worst, rounds);

  for (HANDLE p : running) {
    TerminateProcess(p, 0);
    CloseHandle(p);
  }
  RegCloseKey(key);
  RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
  DeleteFileW(victim.c_str());
  return 0;
}
