// The block column's toggle with the real blocker thread and the real registry under Wine: yes
// blocks and a running copy ends within a pass, Cancel changes nothing, a second click unblocks.
#include "DialogDriver.h"
#include "GuiTestSupport.h"
#include "P2pBlock.h"
#include "P2pBlocker_win.h"
#include "ScanViews.h"
#include "Settings.h"
#include "UninstallTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

using test::DialogDriver;
using test::InstalledProgram;

std::wstring Text(const wchar_t* id) { return GetString(false, id, test::ShippedLanguage()); }

// The executable name is unusual so the blocker cannot end anything but the test's program.
constexpr wchar_t kProgramName[] = L"tessblockcolumn.exe";

class BlockColumnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(test::ShippedLanguage().languages.count, 0u) << "Tessres.dll not found";
    Settings(SystemSettingsStore()).UnblockProgram(kProgramName);
    ASSERT_TRUE(CopyFileW(test::Beside(L"UninstallSleeper.exe").c_str(), ProgramPath().c_str(), FALSE));
    ASSERT_TRUE(blocker_.Start(15.0f));
  }
  void TearDown() override {
    blocker_.Stop();
    Settings(SystemSettingsStore()).UnblockProgram(kProgramName);
    for (HANDLE process : running_) {
      TerminateProcess(process, 0);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
    DeleteFileW(ProgramPath().c_str());
  }

  static std::wstring ProgramPath() { return test::Beside(kProgramName); }
  HANDLE Start() {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring line = L"\"" + ProgramPath() + L"\"";
    EXPECT_TRUE(CreateProcessW(ProgramPath().c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    running_.push_back(pi.hProcess);
    return pi.hProcess;
  }
  static std::optional<std::wstring> Value() { return Settings(SystemSettingsStore()).BlockValue(kProgramName); }
  bool Toggle(ScanFile& file) { return ToggleP2pBlock(nullptr, file, SystemSettingsStore(), &test::ShippedLanguage()); }

  P2pBlocker blocker_;
  std::vector<HANDLE> running_;
};

TEST_F(BlockColumnTest, YesBlocksAndTheNextClickUnblocks) {
  const P2pSignature signature = test::TestSignature(L"Test Share", -321);
  test::P2pRecord record(ModuleFolder(), kProgramName, &signature);
  HANDLE first = Start();
  // The blocker ends the program while the success message is still up: within a pass or two.
  DWORD endedWhileShown = WAIT_TIMEOUT;
  std::wstring question, done;
  DialogDriver driver(GetCurrentThreadId(),
                      {{Text(L"IDS_BLOCKSOFTWARE"), [&question](HWND box) { question = test::MessageBoxText(box); }, IDOK},
                       {Text(L"IDS_SOFTWAREISBLOCKED"),
                        [&](HWND box) {
                          done = test::MessageBoxText(box);
                          endedWhileShown = WaitForSingleObject(first, 500);
                        },
                        IDOK}});
  EXPECT_TRUE(Toggle(record.file));
  EXPECT_EQ(driver.Finish(), 2);
  EXPECT_EQ(question, Text(L"IDS_IFYOUARESUREBLOCKP2P"));
  EXPECT_EQ(done, Text(L"IDS_YOUHAVESUCCESSFULLYBLOCKED"));
  EXPECT_EQ(Value(), L"Block: -321");
  EXPECT_TRUE(RecordFlag(&record.file, property::kP2pBlocked));
  EXPECT_EQ(endedWhileShown, WAIT_OBJECT_0);

  // Blocked: no question, the value goes, and a new copy is left alone for many passes.
  EXPECT_TRUE(Toggle(record.file));
  EXPECT_FALSE(Value().has_value());
  EXPECT_FALSE(RecordFlag(&record.file, property::kP2pBlocked));
  HANDLE second = Start();
  EXPECT_EQ(WaitForSingleObject(second, 600), WAIT_TIMEOUT);
}

TEST_F(BlockColumnTest, CancelOrNoSignatureLeavesTheProgramRunning) {
  struct {
    const char* name;
    bool withSignature;
    int button;
  } cases[] = {
      {"cancelled", true, IDCANCEL},
      // Nothing to write without the signature's number: not shown as blocked.
      {"no signature record", false, IDOK},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const P2pSignature signature = test::TestSignature(L"Test Share");
    test::P2pRecord record(ModuleFolder(), kProgramName, c.withSignature ? &signature : nullptr);
    HANDLE process = Start();
    DialogDriver driver(GetCurrentThreadId(), {{Text(L"IDS_BLOCKSOFTWARE"), nullptr, c.button}});
    EXPECT_FALSE(Toggle(record.file));
    EXPECT_EQ(driver.Finish(), 1);
    EXPECT_FALSE(Value().has_value());
    EXPECT_FALSE(RecordFlag(&record.file, property::kP2pBlocked));
    EXPECT_EQ(WaitForSingleObject(process, 400), WAIT_TIMEOUT);
  }
}

}  // namespace
}  // namespace tessaly
