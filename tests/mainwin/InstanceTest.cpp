// The real Tessaly.exe in two processes: a second instance wakes the first and ends with -1.
#include "GuiTestSupport.h"

#include "LoginDialogResources.h"
#include "RegistryScope.h"
#include "StartupModel.h"
#include "StringTable.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

struct Process {
  PROCESS_INFORMATION info{};
  ~Process() {
    if (info.hProcess) {
      if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 99);
      CloseHandle(info.hProcess);
      CloseHandle(info.hThread);
    }
  }
  DWORD WaitForExit(DWORD milliseconds) {
    if (WaitForSingleObject(info.hProcess, milliseconds) != WAIT_OBJECT_0) return 0x7FFFFFFF;
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
  }
};

bool Start(Process& process, const std::wstring& arguments, const std::wstring& folder = test::ProgramFolder()) {
  std::wstring commandLine = L"\"" + folder + L"Tessaly.exe\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process.info) != FALSE;
}

// A top-level window of the process whose class is the single-instance name.
HWND MainWindowOf(DWORD processId) {
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, kSingleInstanceName, nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) return window;
  }
  return nullptr;
}

// The first visible dialog of the process, or null.
HWND DialogOf(DWORD processId) {
  struct Search {
    DWORD processId;
    HWND found;
  } search{processId, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t className[32] = {};
        GetClassNameW(window, className, 32);
        if (owner == s->processId && std::wstring(className) == L"#32770" && IsWindowVisible(window)) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

template <typename F>
bool WaitFor(F done, int milliseconds = 15000) {
  for (int waited = 0; waited < milliseconds; waited += 20) {
    if (done()) return true;
    Sleep(20);
  }
  return done();
}

constexpr wchar_t kPassword[] = L"Secret1";

// The login values of these tests: a known password for the programs they start.
struct KnownPassword {
  test::RegistryScope password{SettingsRoot::CurrentUser, test::kOwnKey, L"Password",
                               test::RegistryScope::Bytes({'S', 0, 'e', 0, 'c', 0, 'r', 0, 'e', 0, 't', 0, '1', 0})};
};

// Answers the login dialog the process shows with the known password. False when none came.
bool LogIn(Process& process) {
  HWND login = nullptr;
  if (!WaitFor([&] {
        login = DialogOf(process.info.dwProcessId);
        return login && GetDlgItem(login, IDC_LOGIN_PASSWORD);
      })) {
    return false;
  }
  SendDlgItemMessageW(login, IDC_LOGIN_PASSWORD, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kPassword));
  PostMessageW(login, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(login, IDOK)));
  return WaitFor([&] { return !IsWindow(login); });
}

// File > Exit (of a hidden window: after the login), then OK in the box it shows; the exit code.
DWORD ExitThroughMenu(Process& process, HWND window) {
  const bool hidden = !IsWindowVisible(window);
  PostMessageW(window, WM_COMMAND, 1026, 0);
  if (hidden && !LogIn(process)) return 0x7FFFFFFE;
  HWND box = nullptr;
  if (!WaitFor([&] { return (box = DialogOf(process.info.dwProcessId)) != nullptr; })) return 0x7FFFFFFF;
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return process.WaitForExit(15000);
}

TEST(SecondInstance, WakesTheFirstAndEndsWithMinusOne) {
  KnownPassword known;
  Process first;
  ASSERT_TRUE(Start(first, L"-NoShow"));
  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (window = MainWindowOf(first.info.dwProcessId)) != nullptr; }));
  // Built hidden, and no dialog on the way.
  Sleep(300);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(DialogOf(first.info.dwProcessId), nullptr);

  Process second;
  ASSERT_TRUE(Start(second, L""));
  // The first came forward as after a double click on its tray icon: after the login, which the
  // second waits for.
  EXPECT_TRUE(LogIn(first));
  EXPECT_EQ(second.WaitForExit(15000), static_cast<DWORD>(-1));
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != FALSE; }));
  EXPECT_EQ(MainWindowOf(second.info.dwProcessId), nullptr);

  // File > Exit asks once, then the first ends normally.
  EXPECT_EQ(ExitThroughMenu(first, window), 0u);
}

TEST(MissingTessres, TextsReadNotSetAndTheProgramRuns) {
  // The program alone in a folder: no Tessres.dll, no configuration, no signatures.
  KnownPassword known;
  test::TempTree folder;
  const std::wstring path = folder.RootText() + L"\\";
  ASSERT_TRUE(CopyFileW((test::ProgramFolder() + L"Tessaly.exe").c_str(), (path + L"Tessaly.exe").c_str(), FALSE));
  Process program;
  ASSERT_TRUE(Start(program, L"-noshow", path));
  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (window = MainWindowOf(program.info.dwProcessId)) != nullptr; }));
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);
  EXPECT_STREQ(title, kLanguageNotSet);
  EXPECT_EQ(ExitThroughMenu(program, window), 0u);
}

}  // namespace
}  // namespace tessaly
