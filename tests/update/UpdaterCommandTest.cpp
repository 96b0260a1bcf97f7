#include "UpdaterCommand.h"

#include "Paths.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

TEST(UpdaterCommand, ParameterStringHasItsFixedForm) {
  std::wstring sep(1, kPathSeparator);
  std::wstring folder = L"C:" + sep + L"Program Files" + sep + L"Tessaly" + sep;
  EXPECT_EQ(UpdaterParameters(L"Tessaly{348C3328-1E63-491a-8AD4-2A7B5E9D0971}", folder, folder + L"Tessaly.exe"),
            L"MutexCode=Tessaly{348C3328-1E63-491a-8AD4-2A7B5E9D0971};SourceFolderPath=" + folder + L"UpdatedFiles" +
                sep + L";DestinationFolderPath=" + folder + L";ExecuteOnEnd=" + folder +
                L"Tessaly.exe;ExecuteOnEndParameters=-silent");
  // Nothing after a key whose value is missing.
  EXPECT_EQ(UpdaterParameters(L"", folder, L""),
            L"MutexCode=;SourceFolderPath=" + folder + L"UpdatedFiles" + sep + L";DestinationFolderPath=" + folder +
                L";ExecuteOnEnd=;ExecuteOnEndParameters=-silent");
}

TEST(UpdaterCommand, ParsingGivesBackWhatWasBuilt) {
  const wchar_t* folders[] = {L"C:\\Program Files\\Tessaly\\", L"D:\\odd;name=x\\", L"\\\\srv\\share\\T\\"};
  for (const wchar_t* folder : folders) {
    std::wstring program = std::wstring(folder) + L"Tessaly.exe";
    auto parsed = ParseUpdaterParameters(UpdaterParameters(L"Mutex{1}", folder, program) + L"\r\n");
    ASSERT_TRUE(parsed.has_value()) << testing::PrintToString(std::wstring(folder));
    EXPECT_EQ(parsed->mutexCode, L"Mutex{1}");
    EXPECT_EQ(parsed->sourceFolder, std::wstring(folder) + L"UpdatedFiles" + kPathSeparator);
    EXPECT_EQ(parsed->destinationFolder, folder);
    EXPECT_EQ(parsed->executeOnEnd, program);
    EXPECT_EQ(parsed->executeOnEndParameters, L"-silent");
  }
}

TEST(UpdaterCommand, ParsingRefusesIncompleteStrings) {
  const wchar_t* cases[] = {
      L"",
      L"SourceFolderPath=C:\\;DestinationFolderPath=C:\\;ExecuteOnEnd=x;ExecuteOnEndParameters=-silent",
      L"MutexCode=m;SourceFolderPath=C:\\;ExecuteOnEnd=x;ExecuteOnEndParameters=-silent",
      L"MutexCode=m;SourceFolderPath=C:\\;DestinationFolderPath=C:\\;ExecuteOnEnd=x",
      // Keys out of order.
      L"MutexCode=m;DestinationFolderPath=C:\\;SourceFolderPath=C:\\;ExecuteOnEnd=x;ExecuteOnEndParameters=-silent",
  };
  for (const wchar_t* text : cases) {
    EXPECT_FALSE(ParseUpdaterParameters(text).has_value()) << testing::PrintToString(std::wstring(text));
  }
}

TEST(UpdaterCommand, ArgumentsFollowTheProgramName) {
  struct Case {
    const wchar_t* commandLine;
    const wchar_t* want;
  } cases[] = {
      {L"\"C:\\Program Files\\T\\UpdatedFiles\\Updater.exe\" MutexCode=a;b", L"MutexCode=a;b"},
      {L"Updater.exe   MutexCode=a b", L"MutexCode=a b"},
      {L"Updater.exe", L""},
      {L"\"unclosed quote MutexCode=a", L""},
      {L"  \"C:\\x.exe\"MutexCode=a", L"MutexCode=a"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CommandLineArguments(c.commandLine), c.want) << testing::PrintToString(std::wstring(c.commandLine));
  }
}

TEST(UpdaterCommand, TemporaryNamesFromGuids) {
  UpdateGuid guid;
  guid.data1 = 0xEC2F64D7;
  guid.data2 = 0x249A;
  guid.data3 = 0x42ff;
  const uint8_t data4[8] = {0x92, 0x59, 0x25, 0xC3, 0x62, 0xBE, 0x6F, 0x9B};
  std::copy(std::begin(data4), std::end(data4), guid.data4);
  // Data4 halves read as little-endian 32-bit values, so the bytes appear reversed.
  EXPECT_EQ(TemporaryDownloadName(guid), L"ec2f64d7249a42ffc32559929b6fbe62");
  EXPECT_EQ(TemporaryDownloadName(UpdateGuid{}), std::wstring(32, L'0'));

  EXPECT_TRUE(IsTemporaryDownloadName(L"ec2f64d7249a42ffc32559929b6fbe62"));
  EXPECT_FALSE(IsTemporaryDownloadName(L"EC2F64D7249A42FFC32559929B6FBE62"));
  EXPECT_FALSE(IsTemporaryDownloadName(L"ec2f64d7249a42ffc32559929b6fbe6"));
  EXPECT_FALSE(IsTemporaryDownloadName(L"Tessaly.exe"));
}

TEST(UpdaterCommand, WhatTheUpdaterInstalls) {
  struct Case {
    const wchar_t* name;
    bool installs;
  } cases[] = {
      {L"Tessaly.exe", true},
      {L"Updater.exe", true},
      {L"LanguageFile.xml", true},
      {L"Updater.log", false},
      {L"UPDATER.LOG", false},
      {L"ec2f64d7249a42ffc32559929b6fbe62", false},  // an unfinished download
      {L"..", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsInstallableUpdateFile(c.name), c.installs) << testing::PrintToString(std::wstring(c.name));
}

}  // namespace
}  // namespace tessaly
