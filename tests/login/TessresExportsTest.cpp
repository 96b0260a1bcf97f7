// The four exports of the real Tessres.dll, found by their plain names and called as the
// installer calls them, against the real registry.
#include "AnsiCodePage.h"
#include "GuiTestSupport.h"
#include "DialogDriver.h"
#include "LegacyLogin.h"
#include "LoginDriver.h"
#include "RegistryScope.h"
#include "Settings.h"
#include "StartupModel.h"
#include "TempTree.h"
#include "WinHandles.h"

#include <gtest/gtest.h>

#include <wtypes.h>
#include <msi.h>
#include <msiquery.h>

#include <string>
#include <vector>

namespace tessaly {
namespace {

using test::RegistryScope;
using Action = UINT(__stdcall*)(MSIHANDLE);

class TessresExports : public ::testing::Test {
 protected:
  void SetUp() override {
    library_.reset(LoadLibraryW((test::ProgramFolder() + L"Tessres.dll").c_str()));
    ASSERT_TRUE(library_) << "Tessres.dll beside the program";
  }
  Action Export(const char* name) const {
    return reinterpret_cast<Action>(reinterpret_cast<void*>(GetProcAddress(library_.get(), name)));
  }
  win::UniqueModule library_;
  // The dialogs of the library speak English (UK) in these tests.
  RegistryScope language_{SettingsRoot::CurrentUser, test::kOwnKey, L"Language", RegistryScope::Text(L"English(UK)")};
};

TEST_F(TessresExports, EveryActionIsExportedByItsPlainName) {
  for (const char* name : {"InstallUnicows", "InstallSecuritySettings", "SetNewSelectedLanguage", "VerifyLogin"}) {
    EXPECT_NE(Export(name), nullptr) << name;
  }
  EXPECT_EQ(Export("DllEntry"), nullptr) << "a name it does not have is not found";
}

// The raw bytes of HKCU "Language", as the installer's value leaves them.
std::vector<uint8_t> StoredLanguageBytes() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, test::kOwnKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
  win::UniqueRegKey owned(key);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, L"Language", nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) return {};
  std::vector<uint8_t> bytes(size);
  RegQueryValueExW(key, L"Language", nullptr, &type, bytes.data(), &size);
  bytes.resize(size);
  return bytes;
}

std::vector<uint8_t> Utf16(const std::wstring& text) {
  std::vector<uint8_t> bytes;
  for (wchar_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

// A package session over a database made here: the installer handle a custom action is given.
class PackageSession {
 public:
  explicit PackageSession(const std::wstring& folder) : path_(folder + L"\\tiny.msi") {
    MSIHANDLE database = 0;
    EXPECT_EQ(MsiOpenDatabaseW(path_.c_str(), MSIDBOPEN_CREATE, &database), static_cast<UINT>(ERROR_SUCCESS));
    Run(database, L"CREATE TABLE `Property` (`Property` CHAR(72) NOT NULL, `Value` CHAR(0) NOT NULL "
                  L"PRIMARY KEY `Property`)");
    Run(database, L"INSERT INTO `Property` (`Property`, `Value`) VALUES "
                  L"('ProductCode', '{6E1C2A9B-3D4F-4A51-9C27-8B0D1E2F3A4B}')");
    Run(database, L"INSERT INTO `Property` (`Property`, `Value`) VALUES ('ProductLanguage', '1033')");
    MSIHANDLE summary = 0;
    if (MsiGetSummaryInformationW(database, nullptr, 4, &summary) == ERROR_SUCCESS) {
      MsiSummaryInfoSetPropertyW(summary, 7, VT_LPSTR, 0, nullptr, L"x64;1033");  // template
      MsiSummaryInfoSetPropertyW(summary, 9, VT_LPSTR, 0, nullptr, L"{0A1B2C3D-4E5F-4061-8293-A4B5C6D7E8F9}");
      MsiSummaryInfoSetPropertyW(summary, 14, VT_I4, 200, nullptr, nullptr);  // schema
      MsiSummaryInfoPersist(summary);
      MsiCloseHandle(summary);
    }
    EXPECT_EQ(MsiDatabaseCommit(database), static_cast<UINT>(ERROR_SUCCESS));
    MsiCloseHandle(database);
    MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    EXPECT_EQ(MsiOpenPackageW(path_.c_str(), &install_), static_cast<UINT>(ERROR_SUCCESS));
  }
  ~PackageSession() {
    if (install_) MsiCloseHandle(install_);
  }
  MSIHANDLE Handle() const { return install_; }

 private:
  static void Run(MSIHANDLE database, const wchar_t* query) {
    MSIHANDLE view = 0;
    ASSERT_EQ(MsiDatabaseOpenViewW(database, query, &view), static_cast<UINT>(ERROR_SUCCESS)) << WideToUtf8(query);
    EXPECT_EQ(MsiViewExecute(view, 0), static_cast<UINT>(ERROR_SUCCESS)) << WideToUtf8(query);
    MsiCloseHandle(view);
  }
  std::wstring path_;
  MSIHANDLE install_ = 0;
};

// A debug viewer in this process: the library's log lines arrive here as WM_COPYDATA.
class DebugViewer {
 public:
  DebugViewer() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TessresTestViewer";
    RegisterClassW(&windowClass);
    lines().clear();
    window_.reset(CreateWindowExW(0, L"TessresTestViewer", L"WDebug", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
  }
  ~DebugViewer() {
    window_.reset();
    UnregisterClassW(L"TessresTestViewer", GetModuleHandleW(nullptr));
  }
  static std::vector<std::string>& lines() {
    static std::vector<std::string> received;
    return received;
  }
  static size_t CountStartingWith(const std::string& start) {
    size_t count = 0;
    for (const std::string& line : lines()) count += line.rfind(start, 0) == 0 ? 1 : 0;
    return count;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      lines().emplace_back(static_cast<const char*>(data->lpData));
      return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  win::UniqueWindow window_;
};

TEST_F(TessresExports, LoadingTheLibraryLogsAndSchedulesTheUpdatedFiles) {
  library_.reset();  // loaded again below, so that its entry runs with the viewer open
  RegistryScope pending(SettingsRoot::LocalMachine, L"System\\CurrentControlSet\\Control\\Session Manager",
                        L"PendingFileRenameOperations", std::nullopt);
  // The folder of the running program: this test's.
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder(self);
  folder.resize(folder.rfind(L'\\') + 1);
  const std::wstring updated = folder + L"UpdatedFiles\\";
  CreateDirectoryW(updated.c_str(), nullptr);
  const std::wstring waiting = updated + L"waiting.txt";
  CloseHandle(CreateFileW(waiting.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

  DebugViewer viewer;
  library_.reset(LoadLibraryW((test::ProgramFolder() + L"Tessres.dll").c_str()));
  ASSERT_TRUE(library_);
  // A thread's start and end reach the library's entry on that thread, which then sends its line
  // to the viewer here: wait for it with messages flowing.
  win::UniqueKernelHandle thread(CreateThread(nullptr, 0, [](void*) -> DWORD { return 0; }, nullptr, 0, nullptr));
  ASSERT_TRUE(thread);
  HANDLE handle = thread.get();
  while (MsgWaitForMultipleObjects(1, &handle, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  library_.reset();
  DeleteFileW(waiting.c_str());
  RemoveDirectoryW(updated.c_str());

  std::string all;
  for (const std::string& line : DebugViewer::lines()) all += line;
  EXPECT_EQ(DebugViewer::CountStartingWith("Tessres: Attaching DLL Process, BuildDate("), 1u) << all;
  EXPECT_EQ(DebugViewer::CountStartingWith("Tessres: Attaching DLL Thread, BuildDate("), 1u) << all;
  EXPECT_EQ(DebugViewer::CountStartingWith("Tessres: DeAttaching DLL Thread, BuildDate("), 1u) << all;
  EXPECT_EQ(DebugViewer::CountStartingWith("Tessres: DeAttaching DLL Process, BuildDate("), 1u) << all;
  EXPECT_EQ(DebugViewer::CountStartingWith("Tessres: File added for pending move: " + WideToAnsi(waiting) + "\r\n"), 1u)
      << all;
}

TEST_F(TessresExports, SetNewSelectedLanguageStoresTheNameWithoutTerminator) {
  Action set = Export("SetNewSelectedLanguage");
  ASSERT_NE(set, nullptr);
  test::TempTree folder;
  PackageSession session(folder.RootText());
  ASSERT_NE(session.Handle(), 0u);
  struct {
    const wchar_t* selected;  // SELECTEDLANGUAGE of the session; null: no session at all
    const wchar_t* stored;
  } cases[] = {{L"2070", L"Portuguese"}, {L"1031", L"German"}, {L"4242", L"English(UK)"}, {nullptr, L"English(UK)"}};
  for (const auto& c : cases) {
    SystemSettingsStore().Set(SettingsRoot::CurrentUser, test::kOwnKey, L"Language", RegistryScope::Text(L"Dutch"));
    MSIHANDLE handle = 0;
    if (c.selected) {
      ASSERT_EQ(MsiSetPropertyW(session.Handle(), L"SELECTEDLANGUAGE", c.selected), static_cast<UINT>(ERROR_SUCCESS));
      handle = session.Handle();
    }
    EXPECT_EQ(set(handle), 0u);
    // The action stores the characters only (see TessresActionsTest); Wine's registry adds the
    // terminator a REG_SZ value lacks, so here the bytes may end in one.
    std::vector<uint8_t> bytes = StoredLanguageBytes();
    if (bytes.size() >= 2 && bytes[bytes.size() - 1] == 0 && bytes[bytes.size() - 2] == 0) bytes.resize(bytes.size() - 2);
    EXPECT_EQ(bytes, Utf16(c.stored)) << WideToUtf8(c.stored);
    // Read back as the program reads it.
    EXPECT_EQ(Settings(SystemSettingsStore()).Language(), c.stored);
  }
}

TEST_F(TessresExports, InstallUnicowsDoesNothingOnLaterWindows) {
  Action install = Export("InstallUnicows");
  ASSERT_NE(install, nullptr);
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring runtime = std::wstring(system) + L"\\unicows.dll";
  // Wine has a unicows.dll of its own: whatever is there (or not) stays as it was.
  auto state = [&] {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(runtime.c_str(), GetFileExInfoStandard, &data)) return std::wstring(L"(none)");
    return FormatPrintf(L"%u %u %u", data.nFileSizeLow, data.ftLastWriteTime.dwLowDateTime,
                        data.ftLastWriteTime.dwHighDateTime);
  };
  const std::wstring before = state();
  EXPECT_EQ(install(0), 0u);
  EXPECT_EQ(state(), before);
}

TEST_F(TessresExports, InstallSecuritySettingsStopsWithoutAgreement) {
  Action install = Export("InstallSecuritySettings");
  ASSERT_NE(install, nullptr);
  // The licence is not agreed to ("I Disagree" is preselected): the installation stops and the
  // licence file is gone. The driver is stopped, not waited for, once the action has returned.
  test::DialogDriver disagree(GetCurrentThreadId(), {{L"License agreement", nullptr, IDOK}});
  EXPECT_EQ(install(0), 1602u);
  EXPECT_EQ(GetFileAttributesW((test::ProgramFolder() + L"Tessres.dll.license").c_str()), INVALID_FILE_ATTRIBUTES);
}

// A window of the running program's class, recording WM_QUIT.
class ProgramStandIn {
 public:
  ProgramStandIn() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kSingleInstanceName;
    RegisterClassW(&windowClass);
    window_.reset(CreateWindowExW(0, kSingleInstanceName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
    quits() = 0;
  }
  ~ProgramStandIn() {
    window_.reset();
    UnregisterClassW(kSingleInstanceName, GetModuleHandleW(nullptr));
  }
  static int& quits() {
    static int count = 0;
    return count;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_QUIT) ++quits();
    return DefWindowProcW(window, message, wParam, lParam);
  }
  win::UniqueWindow window_;
};

TEST_F(TessresExports, VerifyLoginAsksForThePasswordOnlyAndClosesTheProgram) {
  Action verify = Export("VerifyLogin");
  ASSERT_NE(verify, nullptr);
  struct {
    const char* name;
    const wchar_t* typed;  // null: Cancel
    UINT result;
    int quits;
  } cases[] = {
      {"right password", L"Secret1", 0, 1},
      {"refused in another case, then cancelled", L"SECRET1", 1602, 0},
      {"cancelled", nullptr, 1602, 0},
  };
  RegistryScope password(SettingsRoot::CurrentUser, test::kOwnKey, L"Password",
                         RegistryScope::Bytes(Utf16(L"Secret1")));
  for (const auto& c : cases) {
    ProgramStandIn program;
    bool forgotShown = true, questionExists = true;
    std::vector<std::wstring> errors;
    test::LoginDriver driver(GetCurrentThreadId(), [&](test::LoginDriver& d) {
      forgotShown = d.Visible(IDC_LOGIN_FORGOT);
      questionExists = GetDlgItem(d.Login(), IDC_LOGIN_QUESTION) != nullptr;
      if (c.typed) {
        d.Type(IDC_LOGIN_PASSWORD, c.typed);
        d.Click(IDOK);
        if (c.result != 0) d.AnswerError();
      }
      if (c.result != 0) d.Click(IDCANCEL);
    });
    EXPECT_EQ(verify(0), c.result) << c.name;
    driver.Finish();
    EXPECT_TRUE(driver.Found()) << c.name;
    EXPECT_FALSE(forgotShown) << c.name << ": no Forgot Password in Tessres";
    EXPECT_FALSE(questionExists) << c.name;
    EXPECT_EQ(ProgramStandIn::quits(), c.quits) << c.name;
    EXPECT_EQ(driver.Errors(), c.typed && c.result ? std::vector<std::wstring>{L"Invalid Password"}
                                                   : std::vector<std::wstring>{})
        << c.name;
  }
}

TEST_F(TessresExports, VerifyLoginMigratesTheOlderPassword) {
  Action verify = Export("VerifyLogin");
  ASSERT_NE(verify, nullptr);
  RegistryScope none(SettingsRoot::CurrentUser, test::kOwnKey, L"Password", std::nullopt);
  RegistryScope older(SettingsRoot::LocalMachine, test::kOptionKey, L"lgon",
                      RegistryScope::Bytes(EncipherLegacyLogin("OldPass9")));
  test::LoginDriver driver(GetCurrentThreadId(), [](test::LoginDriver& d) {
    d.Type(IDC_LOGIN_PASSWORD, L"oLDpASS9");
    d.Click(IDOK);
  });
  EXPECT_EQ(verify(0), 0u);
  driver.Finish();
  EXPECT_EQ(Settings(SystemSettingsStore()).Password(), L"oldpass9");
}

}  // namespace
}  // namespace tessaly
