#include "ModuleInfo.h"
#include "P2pBlocker_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

const wchar_t kTestKey[] = L"SOFTWARE\\Tessaly Tests\\Blocked P2p Programs";
const wchar_t kSleeperValue[] = L"BlockSleeper.exe";  // value names are not case-sensitive

class BlockerTest : public testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
  void TearDown() override {
    for (HANDLE p : processes_) {
      TerminateProcess(p, 0);
      CloseHandle(p);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
  }

  void SetValue(const wchar_t* name, const std::wstring& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  void DeleteValue(const wchar_t* name) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kTestKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(key, name), ERROR_SUCCESS);
    RegCloseKey(key);
  }

  HANDLE StartSleeper() {
    std::wstring app = std::wstring(ModuleFolder()) + L"blocksleeper.exe";
    std::wstring line = L"\"" + app + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    EXPECT_TRUE(CreateProcessW(app.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        << GetLastError();
    CloseHandle(pi.hThread);
    processes_.push_back(pi.hProcess);
    return pi.hProcess;
  }

  static bool Ended(HANDLE process, DWORD withinMs) { return WaitForSingleObject(process, withinMs) == WAIT_OBJECT_0; }

  std::vector<HANDLE> processes_;
};

TEST_F(BlockerTest, OnePassEndsAProcessWhoseNameIsBlocked) {
  struct {
    const wchar_t* data;
    bool blocks;
  } cases[] = {
      {L"Block: 1234", true},
      {L"bLoCk: -5", true},  // only the prefix counts
      {L"Block:", true},
      {L"Blocked", false},
      {L"Allow: 1", false},
      {L"", false},
  };
  P2pBlocker blocker(kTestKey);
  for (const auto& c : cases) {
    SetValue(kSleeperValue, c.data);
    HANDLE p = StartSleeper();
    Sleep(150);  // let the process appear in a snapshot
    int ended = blocker.RunPass();
    EXPECT_EQ(Ended(p, 1000), c.blocks) << testing::PrintToString(std::wstring(c.data));
    EXPECT_EQ(ended, c.blocks ? 1 : 0);
    if (!c.blocks) TerminateProcess(p, 0);
  }
}

TEST_F(BlockerTest, UnblockingLeavesNewProcessesAlone) {
  P2pBlocker blocker(kTestKey);
  SetValue(kSleeperValue, L"Block: 1");
  HANDLE first = StartSleeper();
  Sleep(150);
  blocker.RunPass();
  EXPECT_TRUE(Ended(first, 1000));

  DeleteValue(kSleeperValue);
  HANDLE second = StartSleeper();
  Sleep(150);
  EXPECT_EQ(blocker.RunPass(), 0);
  EXPECT_FALSE(Ended(second, 300));
}

TEST_F(BlockerTest, ThreadEndsABlockedProgramSoonAfterItStartsAndStopsCleanly) {
  SetValue(kSleeperValue, L"Block: 99");
  P2pBlocker blocker(kTestKey);
  ASSERT_TRUE(blocker.Start(15.0f));
  EXPECT_TRUE(blocker.Running());
  DWORD start = GetTickCount();
  HANDLE p = StartSleeper();
  ASSERT_TRUE(Ended(p, 2000));
  DWORD gone = GetTickCount() - start;
  std::printf("blocked program gone after %lu ms\n", static_cast<unsigned long>(gone));
  EXPECT_LT(gone, 1000u);
  blocker.Stop();
  EXPECT_FALSE(blocker.Running());
  blocker.Stop();  // a second stop has no thread to wait for
}

TEST(P2pBlocker, StopWithoutStartWaitsForNothing) {
  P2pBlocker blocker(kTestKey);
  blocker.Stop();
  EXPECT_FALSE(blocker.Running());
}

}  // namespace
}  // namespace tessaly
