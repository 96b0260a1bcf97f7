// The INI reader. On Windows IniSectionKeys/IniValue are the system's profile API, so every case
// here also shows that the portable reader answers exactly as GetPrivateProfileStringW does.
#include "IniFile.h"
#include "P2pTestSupport.h"
#include "TempTree.h"
#include "TextConvert.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly {
namespace {

const std::string kAnsiFixture =
    "key before=any section\r\n"
    "[Share]\r\n"
    "Dir=C:\\Skip\r\n"
    "  Dir1 = C:\\Lord\\, recursive  \r\n"
    "Dir2=\"D:\\Quoted\\\"\r\n"
    "Dir3='E:\\Single'\r\n"
    "Dir4=\"unbalanced\r\n"
    "Dir5=\"\r\n"
    "NoEquals\r\n"
    ";comment=C:\\Hidden\r\n"
    "Dir1=duplicate\r\n"
    "Empty=\r\n"
    "Caf\xE9=M\xFCsik\r\n"
    "\r\n\r\n"
    "[share]\r\n"
    "Late=C:\\SecondSection\r\n"
    "[ Spaced ]\r\n"
    "Key=Value\r\n"
    "[Broken\r\n"
    "AfterBroken=1\r\n"
    "[Other]]\r\n"
    "X=y]\r\n"
    "\tTabbed\t=\t tabbed value\t\n"
    "Lone\rCR=only\r"
    "[Nameless]\r\n"
    "A=1\r\n"
    "=x\r\n"
    "B=2\r\n";

struct Fixture {
  const char* name;
  std::string bytes;
};

struct KeysCase {
  const char* fixture;
  const wchar_t* section;
  std::vector<std::wstring> want;
};

struct ValueCase {
  const char* fixture;
  const wchar_t* section;
  const wchar_t* key;
  std::wstring want;
};

std::vector<Fixture> Fixtures() {
  return {
      {"ansi", kAnsiFixture},
      {"utf16", "\xFF\xFE" + test::Utf16(L"[Shares]\r\nFolder1=C:\\M\x00FCsik, folders\r\nFolder=skip\r\n")},
      {"utf8", "\xEF\xBB\xBF[Shares]\nFolder1=C:\\M\xC3\xBCsik\n"},
      {"empty", ""},
  };
}

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& fixture : Fixtures()) {
      paths_[fixture.name] = tree_.AddFile(std::string(fixture.name) + ".ini", fixture.bytes).wstring();
      bytes_[fixture.name] = fixture.bytes;
    }
  }
  test::TempTree tree_;
  std::map<std::string, std::wstring> paths_;
  std::map<std::string, std::string> bytes_;
};

TEST_F(IniFileTest, SectionKeysAnswerAsTheProfileApi) {
  const KeysCase cases[] = {
      {"ansi", L"Share", {L"Dir", L"Dir1", L"Dir2", L"Dir3", L"Dir4", L"Dir5", L"Dir1", L"Empty", L"Caf\x00E9"}},
      {"ansi", L"SHARE", {L"Dir", L"Dir1", L"Dir2", L"Dir3", L"Dir4", L"Dir5", L"Dir1", L"Empty", L"Caf\x00E9"}},
      // The header's name is trimmed, a key list's query is not; "[Broken" is a plain line.
      {"ansi", L" Spaced ", {}},
      {"ansi", L"Spaced", {L"Key", L"AfterBroken"}},
      {"ansi", L"Other]", {L"X", L"Tabbed", L"CR"}},
      {"ansi", L"Missing", {}},
      {"ansi", L"Nameless", {L"A"}},  // "=x" lists an empty name, which ends the list
      {"utf16", L"Shares", {L"Folder1", L"Folder"}},
      {"utf8", L"Shares", {L"Folder1"}},
      {"empty", L"Shares", {}},
  };
  for (const auto& c : cases) {
    const std::string where = std::string(c.fixture) + " [" + WideToUtf8(c.section) + "]";
    EXPECT_EQ(IniSectionKeys(paths_[c.fixture], c.section), c.want) << where;
    EXPECT_EQ(PortableIniSectionKeys(bytes_[c.fixture], c.section), c.want) << where << " (portable)";
  }
  EXPECT_TRUE(IniSectionKeys((tree_.root() / "missing.ini").wstring(), L"Share").empty());
}

TEST_F(IniFileTest, ValuesAnswerAsTheProfileApi) {
  const ValueCase cases[] = {
      {"ansi", L"Share", L"Dir", L"C:\\Skip"},
      {"ansi", L"share", L"dir1", L"C:\\Lord\\, recursive"},
      {"ansi", L"Share", L"  Dir1  ", L"C:\\Lord\\, recursive"},
      {"ansi", L"Share", L"Dir2", L"D:\\Quoted\\"},
      {"ansi", L"Share", L"Dir3", L"E:\\Single"},
      {"ansi", L"Share", L"Dir4", L"\"unbalanced"},
      {"ansi", L"Share", L"Dir5", L"\""},
      {"ansi", L"Share", L"NoEquals", L""},
      {"ansi", L"Share", L";comment", L"C:\\Hidden"},
      {"ansi", L"Share", L"Empty", L""},
      {"ansi", L"Share", L"Caf\x00E9", L"M\x00FCsik"},
      {"ansi", L"Share", L"Late", L""},
      {"ansi", L" Spaced ", L"AfterBroken", L"1"},
      {"ansi", L"Spaced", L"Key", L"Value"},
      {"ansi", L"Other]", L"X", L"y]"},
      {"ansi", L"Other]", L"Tabbed", L"tabbed value"},
      {"ansi", L"Other]", L"CR", L"only"},
      {"ansi", L"Share", L"key before", L""},
      {"ansi", L"Nameless", L"B", L"2"},
      {"utf16", L"Shares", L"Folder1", L"C:\\M\x00FCsik, folders"},
      {"utf8", L"Shares", L"Folder1", L"C:\\M\x00FCsik"},
      {"empty", L"Shares", L"Folder1", L""},
  };
  for (const auto& c : cases) {
    const std::string where = std::string(c.fixture) + " [" + WideToUtf8(c.section) + "] " + WideToUtf8(c.key);
    EXPECT_EQ(IniValue(paths_[c.fixture], c.section, c.key), c.want) << where;
    EXPECT_EQ(PortableIniValue(bytes_[c.fixture], c.section, c.key), c.want) << where << " (portable)";
  }
}

TEST_F(IniFileTest, LongValuesAreCutToTheReadersBuffer) {
  const std::string longValue(5000, 'v');
  const std::string bytes = "[S]\r\nK=" + longValue + "\r\n\"Q\"=\"" + std::string(3000, 'q') + "\"\r\n";
  const std::wstring path = tree_.AddFile("long.ini", bytes).wstring();
  EXPECT_EQ(IniValue(path, L"S", L"K"), std::wstring(kIniValueCapacity - 1, L'v'));
  EXPECT_EQ(PortableIniValue(bytes, L"S", L"K"), std::wstring(kIniValueCapacity - 1, L'v'));
  // Cut short, the closing quote is never reached and the opening one is still dropped.
  EXPECT_EQ(IniValue(path, L"S", L"\"Q\""), std::wstring(kIniValueCapacity - 1, L'q'));
  EXPECT_EQ(PortableIniValue(bytes, L"S", L"\"Q\""), std::wstring(kIniValueCapacity - 1, L'q'));
}

}  // namespace
}  // namespace tessaly
