// Start-up with the update dialog: once it has launched the updater, start-up stops before the
// welcome dialog and the main window. The check compares with the real build stamp, so the
// manifest dates its file far ahead. The program folder is this test program's own, so the
// download lands beside it; the folder is emptied before and after.
#include "LoginDriver.h"
#include "PasswordStore.h"
#include "GuiTestSupport.h"
#include "LogCapture.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "ProgramWindow.h"
#include "Startup.h"
#include "TessalyResources.h"
#include "SystemInfo.h"
#include "TextConvert.h"
#include "UpdateTestFiles.h"
#include "UpdateDialogResources.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

// Publishes a release of one "Updater.exe" (the stand-in) under folder of the server and points
// the configuration's check address at it. Returns the download folder beside this program,
// emptied.
fs::path PublishUpdaterRelease(const std::string& folder) {
  const std::string base = std::getenv("TESSALY_TEST_HTTP_BASE") ? std::getenv("TESSALY_TEST_HTTP_BASE") : "";
  const char* rootText = std::getenv("TESSALY_TEST_HTTP_ROOT");
  EXPECT_FALSE(base.empty() || !rootText) << "run through run_with_server.py";
  const fs::path root(rootText ? rootText : "");
  const fs::path updated = fs::path(std::wstring(ModuleFolder())) / "UpdatedFiles";
  fs::remove_all(updated);

  const std::string updater = ReadBytes(fs::path(std::wstring(ModuleFolder()) + L"FakeInstalledProgram.exe"));
  EXPECT_GT(updater.size(), 1000u);
  WriteBytes(root / folder / "Updater.exe", updater);
  WriteBytes(root / folder / "update.xml",
             "<MorvaneSoftware><Tessaly><Updater><File Date=\"12-31-2099\" Time=\"00:00:00\" Build=\"1.3.1.171\" "
             "FileName=\"Updater.exe\" Size=\"" + std::to_string(updater.size()) + "\">" + base + folder +
                 "/Updater.exe</File></Updater></Tessaly></MorvaneSoftware>");
  LoadLanguageXMLData(ConfigurationTable(), L"<MorvaneSoftware><Tessaly><Resource><String SID=\"SETTINGS_UPDATEURL\" "
                                            L"Lang=\"Neutral\">" + Utf8ToWide(base + folder) +
                                                L"/update.xml</String></Resource></Tessaly></MorvaneSoftware>");
  return updated;
}

// Clicks Yes on the first dialog of the thread, from a thread of its own.
std::thread ClickYesOnTheDialogOf(DWORD uiThread) {
  return std::thread([uiThread] {
    HWND dialog = nullptr;
    for (int i = 0; i < 1000 && !(dialog = test::FindThreadDialog(uiThread)); ++i) Sleep(10);
    if (dialog) SendMessageW(GetDlgItem(dialog, IDC_UPDATE_YES), BM_CLICK, 0, 0);
  });
}

// The command line the stand-in noted, once it has.
std::wstring LaunchRecord(const fs::path& updated) {
  const fs::path record = updated / "launch-record.txt";
  for (int i = 0; i < 300 && !(fs::exists(record) && fs::file_size(record) > 0); ++i) Sleep(50);
  Sleep(100);  // let the stand-in finish writing
  return Utf8ToWide(ReadBytes(record));
}

TEST(StartupUpdate, LaunchedUpdaterEndsTheStartUp) {
  const fs::path updated = PublishUpdaterRelease("startup");
  MemorySettingsStore settings;
  StorePassword(settings, L"Secret1");

  test::LoginThenAnswer yes(L"Secret1", IDC_UPDATE_YES);  // the login comes first
  test::LogCapture log;
  const bool goOn = RunStartupDialogs(StartupSwitches{}, settings);
  yes.Finish();
  EXPECT_TRUE(yes.Answered());

  std::wstring lines;
  for (const std::wstring& line : log.Lines()) lines += line;
  EXPECT_FALSE(goOn) << "the program must end for the updater\n" << WideToUtf8(lines);
  EXPECT_EQ(log.Count(L"RunStartupDialogs(), the updater runs, ending\r\n"), 1u);
  EXPECT_EQ(log.Count(L"Welcome screen starting...\r\n"), 0u);
  EXPECT_TRUE(Settings(settings).LastCheckDate().has_value());
  EXPECT_NE(LaunchRecord(updated).find(L"MutexCode=" + std::wstring(kSingleInstanceName) + L";"), std::wstring::npos);
  fs::remove_all(updated);
}

TEST(StartupUpdate, LaunchedUpdaterEndsTheMessageLoopOfTheMainWindow) {
  const fs::path updated = PublishUpdaterRelease("mainwindow");
  MemorySettingsStore settings;
  ProgramWindowSetup setup;
  setup.language = &test::ShippedLanguage();
  setup.configuration = &ConfigurationTable();
  setup.settings = &settings;
  setup.programFolder = ModuleFolder();
  setup.hidden = true;
  ProgramWindow window(std::move(setup));
  ASSERT_TRUE(window.Create());
  const HWND hwnd = window.Window().hwnd;

  std::thread yes = ClickYesOnTheDialogOf(GetCurrentThreadId());
  SendMessageW(hwnd, WM_COMMAND, IDM_CHECKFORUPDATES, 0);
  yes.join();
  bool sawQuit = false;
  test::PumpUntil([&] { return sawQuit; }, 3000, &sawQuit);

  EXPECT_TRUE(sawQuit) << "the program ends for the updater";
  EXPECT_TRUE(Settings(settings).LastCheckDate().has_value());
  EXPECT_NE(LaunchRecord(updated).find(L"MutexCode=" + std::wstring(kSingleInstanceName) + L";"), std::wstring::npos);
  DestroyWindow(hwnd);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  fs::remove_all(updated);
}

}  // namespace
}  // namespace tessaly
