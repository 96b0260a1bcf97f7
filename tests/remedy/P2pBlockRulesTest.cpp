#include "P2pBlockRules.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(P2pBlockRules, LookupNameOfAProcess) {
  struct {
    const wchar_t* exe;
    const wchar_t* name;
  } cases[] = {
      {L"Kazaa.EXE", L"kazaa.exe"},
      {LR"(C:\Program Files\Kazaa\kazaa.exe)", L"kazaa.exe"},
      {L"limewire.exe.bak", L""},
      {L"limewire", L""},
      {L"setup.exe\\", L""},  // ends in "\": not an .exe
      {L".exe", L".exe"},
      {L"my.app.Exe", L"my.app.exe"},
  };
  for (const auto& c : cases) EXPECT_EQ(BlockLookupName(c.exe), c.name) << testing::PrintToString(std::wstring(c.exe));
}

TEST(P2pBlockRules, OnlyThePrefixMakesABlock) {
  EXPECT_EQ(BlockValueData(-42), L"Block: -42");
  EXPECT_EQ(BlockValueData(0), L"Block: 0");
  EXPECT_TRUE(IsBlockValueData(BlockValueData(123456)));
  EXPECT_TRUE(IsBlockValueData(L"BLOCK:x"));
  EXPECT_FALSE(IsBlockValueData(L"Block"));
  EXPECT_FALSE(IsBlockValueData(L" Block: 1"));
}

TEST(P2pBlockRules, NeverItselfOrTheSystem) {
  struct {
    uint32_t id;
    const wchar_t* name;
    bool isProtected;
  } cases[] = {
      {100, L"kazaa.exe", false},
      {77, L"kazaa.exe", true},      // this process, whatever its name
      {200, L"tessmain.exe", true},  // another copy of this program
      {0, L"kazaa.exe", true},
      {4, L"kazaa.exe", true},
      {300, L"csrss.exe", true},
      {301, L"EXPLORER.EXE", true},
      {302, L"winlogon.exe", true},
      {303, L"explorer2.exe", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsProtectedProcess(c.id, c.name, 77, L"tessmain.exe"), c.isProtected) << testing::PrintToString(std::wstring(c.name));
}

}  // namespace
}  // namespace tessaly
