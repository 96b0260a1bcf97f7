// The hand-over to Updater.exe: the parameter string it receives, and a whole update of a
// running test installation that ends with the program started again.
#include "MvUpdater.h"

#include "SystemInfo.h"
#include "TempTree.h"
#include "TextConvert.h"
#include "UpdaterCommand.h"

#include <windows.h>

#include "UpdateTestFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

bool WaitForFile(const fs::path& path, std::chrono::seconds timeout = std::chrono::seconds(30)) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (fs::exists(path)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));  // let the writer finish
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

fs::path BesideTest(const wchar_t* name) { return fs::path(std::wstring(ModuleFolder()) + name); }

std::wstring FolderText(const test::TempTree& tree) { return tree.RootText() + L"\\"; }

TEST(HandOver, UpdaterReceivesTheParameterStringHiddenInTheProgramFolder) {
  test::TempTree tree;
  std::wstring folder = FolderText(tree);
  fs::create_directories(tree.root() / "UpdatedFiles");
  fs::copy_file(BesideTest(L"FakeInstalledProgram.exe"), tree.root() / "UpdatedFiles" / "Updater.exe");
  UpdaterOptions options;
  options.programFolder = folder;
  MvUpdater updater(L"http://127.0.0.1:9/unused.xml", options);

  ASSERT_TRUE(updater.LaunchUpdater(L"Tessaly{348C3328-1E63-491a-8AD4-2A7B5E9D0971}", folder + L"Tessaly.exe"));
  fs::path record = tree.root() / "UpdatedFiles" / "launch-record.txt";
  ASSERT_TRUE(WaitForFile(record));
  std::wstring text = Utf8ToWide(ReadBytes(record));
  size_t lineEnd = text.find(L'\n');
  ASSERT_NE(lineEnd, std::wstring::npos);
  EXPECT_EQ(std::wstring(CommandLineArguments(text.substr(0, lineEnd))),
            L"MutexCode=Tessaly{348C3328-1E63-491a-8AD4-2A7B5E9D0971};SourceFolderPath=" + folder +
                L"UpdatedFiles\\;DestinationFolderPath=" + folder + L";ExecuteOnEnd=" + folder +
                L"Tessaly.exe;ExecuteOnEndParameters=-silent");
  EXPECT_EQ(fs::path(text.substr(lineEnd + 1)), fs::path(tree.RootText())) << "working folder";
}

TEST(HandOver, MissingUpdaterIsAFailure) {
  test::TempTree tree;
  UpdaterOptions options;
  options.programFolder = FolderText(tree);
  MvUpdater updater(L"http://127.0.0.1:9/unused.xml", options);
  EXPECT_FALSE(updater.LaunchUpdater(L"Mutex", FolderText(tree) + L"Tessaly.exe"));
}

TEST(HandOver, UpdaterReplacesFilesOfTheRunningInstallationAndRestartsIt) {
  test::TempTree tree;
  fs::path install = tree.root();
  fs::path updated = install / "UpdatedFiles";
  fs::create_directories(updated);
  std::string program = ReadBytes(BesideTest(L"FakeInstalledProgram.exe"));
  const std::string marker = "NEW-BUILD-1.3.1.171";  // an overlay after the image still runs
  WriteBytes(install / "Tessaly.exe", program);
  WriteBytes(install / "data.txt", "old");
  WriteBytes(install / "keep.txt", "untouched");
  fs::copy_file(BesideTest(L"Updater.exe"), updated / "Updater.exe");
  WriteBytes(updated / "Tessaly.exe", program + marker);
  WriteBytes(updated / "data.txt", "new");
  WriteBytes(updated / "0123456789abcdef0123456789abcdef", "unfinished download");

  const std::wstring mutexName = L"TessalyHandOverTestMutex";  // the restarted program takes it too
  std::wstring commandLine = L"\"" + (install / "Tessaly.exe").wstring() + L"\" hold " + mutexName;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             install.wstring().c_str(), &startup, &process));
  CloseHandle(process.hThread);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
  CloseHandle(process.hProcess);

  EXPECT_EQ(ReadBytes(install / "launched.txt"), "true");
  EXPECT_EQ(ReadBytes(install / "before-release.txt"), "old") << "the updater waited for the mutex";
  ASSERT_TRUE(WaitForFile(install / "restarted.txt")) << ReadBytes(updated / "Updater.log");
  std::wstring restarted = Utf8ToWide(ReadBytes(install / "restarted.txt"));
  size_t lineEnd = restarted.find(L'\n');
  ASSERT_NE(lineEnd, std::wstring::npos) << WideToUtf8(restarted);
  EXPECT_EQ(std::wstring(CommandLineArguments(restarted.substr(0, lineEnd))), L"-silent");
  EXPECT_EQ(restarted.substr(lineEnd + 1), L"free") << "the updater let the single-instance mutex go";

  std::string installed = ReadBytes(install / "Tessaly.exe");
  EXPECT_TRUE(installed.ends_with(marker)) << "the program file was replaced";
  EXPECT_EQ(ReadBytes(install / "data.txt"), "new");
  EXPECT_EQ(ReadBytes(install / "keep.txt"), "untouched");
  EXPECT_FALSE(fs::exists(install / "0123456789abcdef0123456789abcdef")) << "unfinished downloads stay out";
  EXPECT_FALSE(fs::exists(install / "data.txt.update-new"));
  EXPECT_FALSE(fs::exists(updated / "data.txt")) << "installed files leave UpdatedFiles";
  std::string log = ReadBytes(updated / "Updater.log");
  EXPECT_NE(log.find("Installed"), std::string::npos) << log;
  EXPECT_NE(log.find("Started"), std::string::npos) << log;
}

}  // namespace
}  // namespace tessaly
