// P2PUninstaller against real processes under Wine: the registry form with a path that holds a
// space, the two-candidate form, an uninstaller that relaunches itself, a program still running,
// an uninstall that leaves the program behind.
#include "P2PUninstaller_win.h"
#include "Settings.h"
#include "TextConvert.h"
#include "UninstallTestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tessaly {
namespace {

using test::InstalledProgram;

constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\windows\\currentversion\\uninstall\\";

// An uninstall entry in HKLM for the test's life.
class UninstallEntry {
 public:
  UninstallEntry(std::wstring name, const std::wstring& command) : name_(std::move(name)) {
    const std::wstring key = kUninstallKey + name_;
    const LSTATUS status =
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"uninstallstring", REG_SZ, command.c_str(),
                        static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    EXPECT_EQ(status, ERROR_SUCCESS);
  }
  ~UninstallEntry() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kUninstallKey + name_).c_str()); }

 private:
  std::wstring name_;
};

// What a run showed: its events in order and the batch file as it was while the monitor ran.
struct RunRecord {
  std::vector<std::wstring> events;
  std::string batch;
  bool batchSeen = false;
};

int32_t OnStart(void* data, void* context) {
  auto* record = static_cast<RunRecord*>(context);
  auto* uninstaller = static_cast<P2PUninstaller*>(data);
  record->events.push_back(kEventUninstallStart);
  record->batchSeen = std::filesystem::exists(uninstaller->BatchPath());
  record->batch = test::ReadFileText(uninstaller->BatchPath());
  return 0;
}
int32_t OnMonitorDone(void*, void* context) {
  static_cast<RunRecord*>(context)->events.push_back(kEventMonitorDone);
  return 0;
}
int32_t OnStop(void*, void* context) {
  static_cast<RunRecord*>(context)->events.push_back(kEventUninstallStop);
  return 0;
}

struct Outcome {
  bool succeeded = false;
  RunRecord record;
  std::wstring batchPath;
  DWORD elapsedMs = 0;
};

Outcome RunUninstaller(const std::wstring& exePath, const std::wstring& key) {
  Outcome outcome;
  SettingsStore& registry = SystemSettingsStore();
  P2PUninstaller uninstaller(
      ModuleFolder(), [&registry](const std::wstring& subkey) { return Settings(registry).UninstallCommand(subkey); }, 50);
  uninstaller.events.AddBinaryEventProc(kEventUninstallStart, OnStart, &outcome.record);
  uninstaller.events.AddBinaryEventProc(kEventMonitorDone, OnMonitorDone, &outcome.record);
  uninstaller.events.AddBinaryEventProc(kEventUninstallStop, OnStop, &outcome.record);
  const DWORD start = GetTickCount();
  outcome.succeeded = uninstaller.Run(exePath, key);
  outcome.elapsedMs = GetTickCount() - start;
  outcome.batchPath = test::Beside(L"tmpbat0.bat");
  EXPECT_EQ(uninstaller.Succeeded(), outcome.succeeded);
  EXPECT_TRUE(uninstaller.Stopped());
  return outcome;
}

const std::vector<std::wstring> kWholeRun = {kEventUninstallStart, kEventMonitorDone, kEventUninstallStop};

TEST(P2PUninstaller, RegistryEntryWithASpaceRunsItsUninstallerAndEndsTheRunningProgram) {
  InstalledProgram program(L"C:\\Program Files\\Tessaly Uninstall Test\\");
  program.AddUninstaller(L"Uninstall.exe");
  UninstallEntry entry(L"TessalyUninstallTest", program.Folder() + L"Uninstall.exe /S");
  HANDLE client = program.StartClient();

  Outcome outcome = RunUninstaller(program.ClientPath(), L"@TessalyUninstallTest");

  EXPECT_TRUE(outcome.succeeded);
  EXPECT_FALSE(program.ClientExists());
  // The running copy was ended by the uninstall (it would have waited 20 s and ended with 7).
  ASSERT_EQ(WaitForSingleObject(client, 0), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(client, &code);
  EXPECT_EQ(code, 0u);
  // The split command, quoted, with its argument, reached the uninstaller exactly once.
  const std::vector<std::string> runs = program.Runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_NE(runs[0].find("Tessaly Uninstall Test\\Uninstall.exe\" /S"), std::string::npos) << runs[0];
  EXPECT_TRUE(outcome.record.batchSeen);
  EXPECT_NE(outcome.record.batch.find("\"C:\\Program Files\\Tessaly Uninstall Test\\Uninstall.exe\" /S\r\n"),
            std::string::npos)
      << outcome.record.batch;
  EXPECT_EQ(outcome.record.events, kWholeRun);
  EXPECT_FALSE(std::filesystem::exists(outcome.batchPath));
}

TEST(P2PUninstaller, AlternativesRunTheFirstCandidateThatExists) {
  struct {
    const wchar_t* key;
    bool runs;
  } cases[] = {
      {L"first.exe|second.exe|", true},
      // Without the closing bar the second name is no candidate: nothing is run.
      {L"first.exe|second.exe", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.key)));
    InstalledProgram program(test::Beside(L"alternatives\\"));
    program.AddUninstaller(L"second.exe");
    Outcome outcome = RunUninstaller(program.ClientPath(), c.key);
    EXPECT_EQ(outcome.succeeded, c.runs);
    EXPECT_EQ(program.ClientExists(), !c.runs);
    EXPECT_EQ(program.Runs().size(), c.runs ? 1u : 0u);
    if (c.runs) {
      const std::string second = "\"" + WideToUtf8(program.Folder()) + "second.exe\"\r\n";
      EXPECT_NE(outcome.record.batch.find(second), std::string::npos) << outcome.record.batch;
      EXPECT_EQ(outcome.record.events, kWholeRun);
    } else {
      EXPECT_TRUE(outcome.record.events.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(outcome.batchPath));
  }
}

TEST(P2PUninstaller, WaitsForTheCopyOfAnUninstallerThatRelaunchesItself) {
  InstalledProgram program(test::Beside(L"relaunch\\"));
  program.AddUninstaller(L"uninst.exe");
  program.AddFlag(L"relaunch.flag");
  Outcome outcome = RunUninstaller(program.ClientPath(), L"uninst.exe");
  // The first process ends at once; only its copy, 1.5 s later, removes the program.
  EXPECT_TRUE(outcome.succeeded);
  EXPECT_FALSE(program.ClientExists());
  EXPECT_GE(outcome.elapsedMs, 1400u);
  EXPECT_EQ(outcome.record.events, kWholeRun);
}

TEST(P2PUninstaller, ProgramLeftBehindIsAFailure) {
  InstalledProgram program(test::Beside(L"kept\\"));
  program.AddUninstaller(L"uninst.exe");
  program.AddFlag(L"keep.flag");
  Outcome outcome = RunUninstaller(program.ClientPath(), L"uninst.exe");
  EXPECT_FALSE(outcome.succeeded);
  EXPECT_TRUE(program.ClientExists());
  EXPECT_EQ(program.Runs().size(), 1u);
  EXPECT_EQ(outcome.record.events, kWholeRun);
  EXPECT_FALSE(std::filesystem::exists(outcome.batchPath));
}

}  // namespace
}  // namespace tessaly
