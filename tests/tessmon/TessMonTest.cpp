#include "ModuleInfo.h"
#include "TempTree.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using test::TempTree;

std::wstring Beside(const wchar_t* name) { return std::wstring(ModuleFolder()) + name; }

// Runs TessMon.exe with `arguments` as Tessaly does and returns its exit code and how long it ran.
struct MonitorRun {
  DWORD exitCode = 0xFFFFFFFF;
  DWORD elapsedMs = 0;
};
MonitorRun RunMonitor(const std::wstring& arguments, const wchar_t* stallMs = nullptr) {
  SetEnvironmentVariableW(L"TESSMON_STALL_MS", stallMs);
  std::wstring app = Beside(L"TessMon.exe");
  std::wstring line = L"TessMon.exe" + (arguments.empty() ? std::wstring() : L" " + arguments);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  MonitorRun run;
  DWORD start = GetTickCount();
  bool started = CreateProcessW(app.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  SetEnvironmentVariableW(L"TESSMON_STALL_MS", nullptr);
  EXPECT_TRUE(started) << GetLastError();
  if (!started) return run;
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
  run.elapsedMs = GetTickCount() - start;
  GetExitCodeProcess(pi.hProcess, &run.exitCode);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return run;
}

bool WaitForFile(const fs::path& path, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
    if (fs::exists(path)) return true;
    Sleep(50);
  }
  return fs::exists(path);
}

std::wstring UninstallerArguments(const fs::path& marker, int workMs) {
  return L"\"" + Beside(L"FakeUninstaller.exe") + L"\" \"" + marker.wstring() + L"\" " + std::to_wstring(workMs);
}

TEST(TessMon, WaitsForTheCopyAnUninstallerRelaunchesFromTemp) {
  TempTree tree;
  fs::path marker = tree.root() / L"done.txt";
  MonitorRun run = RunMonitor(UninstallerArguments(marker, 1200));
  EXPECT_EQ(run.exitCode, 0u);
  // The first process exits at once; only the relaunched copy writes the marker.
  EXPECT_TRUE(fs::exists(marker)) << "TessMon ended after " << run.elapsedMs << " ms, before the copy finished";
  EXPECT_GE(run.elapsedMs, 1100u);
}

TEST(TessMon, GivesUpAfterTheStallTimeWithItsOwnCode) {
  TempTree tree;
  fs::path marker = tree.root() / L"late.txt";
  MonitorRun run = RunMonitor(UninstallerArguments(marker, 2500), L"300");
  EXPECT_EQ(run.exitCode, 3u);
  EXPECT_LT(run.elapsedMs, 2000u);
  EXPECT_FALSE(fs::exists(marker));
  // The copy was still at work: it finishes on its own afterwards.
  EXPECT_TRUE(WaitForFile(marker, 8000));
}

TEST(TessMon, NamesNoOrAMissingUninstaller) {
  struct {
    std::wstring arguments;
    DWORD exitCode;
  } cases[] = {
      {L"", 1},
      {L"   ", 1},
      {L"\"" + Beside(L"NoSuchUninstaller.exe") + L"\" /S", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(RunMonitor(c.arguments).exitCode, c.exitCode) << testing::PrintToString(c.arguments);
}

}  // namespace
}  // namespace tessaly
