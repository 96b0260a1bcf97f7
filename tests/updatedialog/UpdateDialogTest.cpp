// The update dialog and the about box, shown for real on this thread and driven from a helper
// thread, against update_server.py on 127.0.0.1 (its address comes in the environment).
#include "AboutDialog.h"
#include "GuiTestSupport.h"
#include "Settings.h"
#include "SystemInfo.h"
#include "SettingsStore.h"
#include "TempTree.h"
#include "TessalyVersion.h"
#include "TextConvert.h"
#include "UpdateTestFiles.h"
#include "UpdateDialog.h"
#include "UpdateDialogResources.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;
using Clock = std::chrono::steady_clock;

constexpr wchar_t kTestMutex[] = L"TessalyDialogTestMutex";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::wstring ItemText(HWND dialog, int id) {
  wchar_t text[512] = {};
  GetDlgItemTextW(dialog, id, text, 512);
  return text;
}

// Polls until done() or the time-out; false on time-out.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
  const auto end = Clock::now() + timeout;
  while (!done()) {
    if (Clock::now() > end) return false;
    Sleep(5);
  }
  return true;
}

// Runs on a thread of its own while the dialog runs modally on the test's thread.
class Driver {
 public:
  explicit Driver(std::function<void(HWND)> steps)
      : uiThread_(GetCurrentThreadId()), thread_([this, steps = std::move(steps)] {
          HWND dialog = nullptr;
          if (!WaitFor([&] { return (dialog = test::FindThreadDialog(uiThread_)) != nullptr; },
                       std::chrono::seconds(10))) {
            return;
          }
          found_ = true;
          steps(dialog);
        }) {}
  ~Driver() { Join(); }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  bool Found() const { return found_; }

 private:
  DWORD uiThread_;
  std::atomic<bool> found_{false};
  std::thread thread_;
};

class UpdateDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(test::ShippedLanguage().languages.count, 0u) << "Tessres.dll not found";
    base = Environment("TESSALY_TEST_HTTP_BASE");
    root = fs::path(Environment("TESSALY_TEST_HTTP_ROOT"));
    ASSERT_FALSE(base.empty()) << "run through run_with_server.py";
    static int counter = 0;
    caseFolder = "dialog-" + std::to_string(counter++);
  }

  std::wstring Text(const wchar_t* id) { return GetString(false, id, test::ShippedLanguage()); }

  std::string Serve(const std::string& name, const std::string& bytes) {
    WriteBytes(root / caseFolder / name, bytes);
    return base + caseFolder + "/" + name;
  }

  // Publishes files (name, content) dated after the build stamp of the release.
  void Publish(const std::vector<std::pair<std::string, std::string>>& files, const std::string& date = "07-30-2009") {
    std::string entries;
    for (const auto& [name, bytes] : files) {
      entries += "<File Date=\"" + date + "\" Time=\"00:00:00\" Build=\"1.3.1.171\" FileName=\"" + name + "\" Size=\"" +
                 std::to_string(bytes.size()) + "\">" + Serve("files/" + name, bytes) + "</File>\r\n";
    }
    Serve("update.xml", "<?xml version=\"1.0\"?>\r\n<MorvaneSoftware><Tessaly><Updater>\r\n" + entries +
                            "</Updater></Tessaly></MorvaneSoftware>\r\n");
  }

  std::unique_ptr<UpdateDialog> MakeDialog() {
    UpdateDialogSetup setup;
    setup.session.language = &test::ShippedLanguage();
    setup.session.settings = &settings;
    setup.session.checkUrl = Utf8ToWide(base + caseFolder + "/update.xml");
    setup.session.updater.programFolder = program.RootText() + L"\\";
    setup.session.updater.http.timeoutMilliseconds = 5000;
    setup.session.mutexCode = kTestMutex;
    setup.session.buildDate = L"Jul 29 2009";
    setup.session.buildTime = L"11:17:39";
    return std::make_unique<UpdateDialog>(std::move(setup));
  }

  fs::path Updated() const { return program.root() / "UpdatedFiles"; }

  std::string base;
  fs::path root;
  std::string caseFolder;
  test::TempTree program;
  MemorySettingsStore settings;
};

TEST_F(UpdateDialogTest, NothingNewerShowsNoUpdatesWritesTheLastCheckAndClosesItself) {
  Publish({{"Tessaly.exe", "MZ"}}, "07-29-2009");  // the build stamp's own day, before its time
  auto dialog = MakeDialog();

  std::wstring asked, caption, noUpdates;
  bool yesEnabled = false, cancelEnabled = true, privacyShown = true, stillOpenAfterASecond = false;
  Clock::time_point shown{}, closed{};
  Driver driver([&](HWND window) {
    asked = ItemText(window, IDC_UPDATE_STATUS);
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    caption = title;
    yesEnabled = IsWindowEnabled(GetDlgItem(window, IDC_UPDATE_YES));
    SendMessageW(GetDlgItem(window, IDC_UPDATE_YES), BM_CLICK, 0, 0);
    if (!WaitFor([&] { return ItemText(window, IDC_UPDATE_STATUS) == Text(L"IDS_NOUPDATESAVAILABLE"); })) return;
    shown = Clock::now();
    noUpdates = ItemText(window, IDC_UPDATE_STATUS);
    cancelEnabled = IsWindowEnabled(GetDlgItem(window, IDC_UPDATE_NO));
    privacyShown = IsWindowVisible(GetDlgItem(window, IDC_UPDATE_PRIVACY1));
    Sleep(1000);
    stillOpenAfterASecond = IsWindowVisible(window);
    WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); });
    closed = Clock::now();
  });
  const INT_PTR result = dialog->Run(nullptr);
  driver.Join();

  ASSERT_TRUE(driver.Found());
  EXPECT_EQ(result, 0);
  EXPECT_EQ(caption, Text(L"IDS_PROGRAMTITLE"));
  EXPECT_EQ(asked, Text(L"IDS_CHECKFORUPDATES"));
  EXPECT_TRUE(yesEnabled);
  EXPECT_EQ(noUpdates, Text(L"IDS_NOUPDATESAVAILABLE"));
  EXPECT_FALSE(cancelEnabled);
  EXPECT_FALSE(privacyShown);
  EXPECT_TRUE(stillOpenAfterASecond) << "it waits two seconds";
  EXPECT_GE(closed - shown, std::chrono::milliseconds(1500));
  EXPECT_TRUE(Settings(settings).LastCheckDate().has_value());
  EXPECT_TRUE(Settings(settings).LastCheckTime().has_value());
  EXPECT_FALSE(fs::exists(Updated() / "Tessaly.exe"));
}

TEST_F(UpdateDialogTest, DownloadFillsTheBarAndClosesWhenNoUpdaterCanStart) {
  std::string a(1200000, 'a'), b(900000, 'b'), c(77, 'c');
  Publish({{"Tessaly.exe", a}, {"Tessres.dll", b}, {"LanguageFile.xml", c}});
  auto dialog = MakeDialog();

  std::wstring downloading;
  uint32_t highest = 0;
  bool barShown = false;
  Driver driver([&](HWND window) {
    SendMessageW(GetDlgItem(window, IDC_UPDATE_YES), BM_CLICK, 0, 0);
    HWND bar = GetDlgItem(window, IDC_UPDATE_PROGRESS);
    WaitFor([&] {
      if (!IsWindow(window)) return true;
      const std::wstring status = ItemText(window, IDC_UPDATE_STATUS);
      if (status.starts_with(Text(L"IDS_DOWNLOADINGUPDATES") + L" ")) downloading = status;
      barShown = barShown || IsWindowVisible(bar);
      highest = std::max(highest, static_cast<uint32_t>(SendMessageW(bar, PBM_GETPOS, 0, 0)));
      return highest == 1000;
    });
  });
  const INT_PTR result = dialog->Run(nullptr);
  driver.Join();

  ASSERT_TRUE(driver.Found());
  EXPECT_EQ(result, 0) << "no Updater.exe came, so the dialog closes by its timer";
  EXPECT_EQ(downloading, Text(L"IDS_DOWNLOADINGUPDATES") + L" " + FormatByteSize(2100077.0, test::ShippedLanguage()));
  EXPECT_TRUE(barShown);
  EXPECT_EQ(highest, 1000u);
  EXPECT_EQ(ReadBytes(Updated() / "Tessaly.exe"), a);
  EXPECT_EQ(ReadBytes(Updated() / "Tessres.dll"), b);
  EXPECT_EQ(ReadBytes(Updated() / "LanguageFile.xml"), c);
  EXPECT_TRUE(Settings(settings).LastCheckDate().has_value());
}

TEST_F(UpdateDialogTest, LaunchedUpdaterEndsTheDialogWithFive) {
  const std::string stand_in = ReadBytes(fs::path(std::wstring(ModuleFolder()) + L"FakeInstalledProgram.exe"));
  ASSERT_GT(stand_in.size(), 1000u);
  Publish({{"Updater.exe", stand_in}, {"LanguageFile.xml", "<x/>"}});
  auto dialog = MakeDialog();

  Driver driver([&](HWND window) { SendMessageW(GetDlgItem(window, IDC_UPDATE_YES), BM_CLICK, 0, 0); });
  const INT_PTR result = dialog->Run(nullptr);
  driver.Join();

  ASSERT_TRUE(driver.Found());
  EXPECT_EQ(result, kUpdateResultLaunched);
  EXPECT_TRUE(Settings(settings).LastCheckDate().has_value());
  const fs::path record = Updated() / "launch-record.txt";
  ASSERT_TRUE(WaitFor([&] { return fs::exists(record) && fs::file_size(record) > 0; }));
  Sleep(100);  // let the stand-in finish writing
  const std::wstring launch = Utf8ToWide(ReadBytes(record));
  const std::wstring folder = program.RootText() + L"\\";
  EXPECT_NE(launch.find(L"MutexCode=" + std::wstring(kTestMutex) + L";SourceFolderPath=" + folder +
                        L"UpdatedFiles\\;DestinationFolderPath=" + folder + L";ExecuteOnEnd=" + folder +
                        L"Tessaly.exe;ExecuteOnEndParameters=-silent"),
            std::wstring::npos)
      << launch;
}

TEST(AboutDialogTest, ShowsTheProductVersionAndEndsWithZero) {
  ASSERT_GT(test::ShippedLanguage().languages.count, 0u) << "Tessres.dll not found";
  AboutDialogSetup setup;
  setup.language = &test::ShippedLanguage();
  std::wstring version, caption, button;
  Driver driver([&](HWND window) {
    version = ItemText(window, IDC_ABOUT_VERSION);
    button = ItemText(window, IDOK);
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    caption = title;
    PostMessageW(window, WM_COMMAND, IDOK, 0);
  });
  const INT_PTR result = RunAboutDialog(setup, nullptr);
  driver.Join();

  ASSERT_TRUE(driver.Found());
  EXPECT_EQ(result, 0);
  EXPECT_EQ(version, AnsiToWide(TESSALY_VERSION_TEXT)) << "the program's version resource, not the template's";
  EXPECT_EQ(caption, GetString(false, L"IDS_ABOUT", test::ShippedLanguage()));
  EXPECT_EQ(button, GetString(false, L"IDS_OK", test::ShippedLanguage()));
}

}  // namespace
}  // namespace tessaly
