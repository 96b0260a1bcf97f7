// TSY_Setup.msi under Wine's msiexec, started from this program so that its exit code is read
// whole (a shell cuts it to 8 bits: 1602 would read 66). The real package is installed, its files,
// shortcut and registry are checked, the installed program is started and ended, and the package
// is removed again; the package with stand-in custom actions shows when each action runs and that
// a refusal (1602) stops the package with nothing changed.
#include <windows.h>
// After windows.h, which they need.
#include <msi.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "GuiTestSupport.h"
#include "SetupDialogAnswers.h"
#include "StartupModel.h"
#include "TempTree.h"
#include "TextConvert.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using namespace test;

constexpr wchar_t kProductCode[] = L"{48762E23-EC68-4FAB-9480-451D8F78F7E9}";  // the x64 package
constexpr DWORD kUserExit = 1602;  // ERROR_INSTALL_USEREXIT
constexpr wchar_t kChosenPassword[] = L"tessaly-pass";

std::wstring WindowsPath(const char* unixPath) {
  std::wstring path = test::WindowsFolder(unixPath);
  path.pop_back();  // no trailing separator: a file
  return path;
}

struct Process {
  PROCESS_INFORMATION info{};
  ~Process() {
    if (info.hProcess) {
      if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 99);
      CloseHandle(info.hProcess);
      CloseHandle(info.hThread);
    }
  }
  bool Start(std::wstring commandLine, const wchar_t* folder = nullptr) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &info) !=
           FALSE;
  }
  DWORD WaitForExit(DWORD milliseconds) {
    if (WaitForSingleObject(info.hProcess, milliseconds) != WAIT_OBJECT_0) return 0x7FFFFFFF;
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
  }
};

template <typename F>
bool WaitFor(F done, int milliseconds = 20000) {
  for (int waited = 0; waited < milliseconds; waited += 20) {
    if (done()) return true;
    Sleep(20);
  }
  return done();
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::wstring KnownFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

std::wstring InstallFolder() { return KnownFolder(CSIDL_PROGRAM_FILES) + L"\\Morvane Software\\Tessaly\\"; }
// The Start-menu shortcut: in the menu of all users as the package asks, or (Wine's msiexec) in
// the user's own; empty when there is none.
std::wstring ShortcutPath() {
  for (int menu : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
    const std::wstring path = KnownFolder(menu) + L"\\Tessaly\\Tessaly.lnk";
    if (std::filesystem::exists(std::filesystem::path(path))) return path;
  }
  return {};
}

bool ProductInstalled() { return MsiQueryProductStateW(kProductCode) == INSTALLSTATE_DEFAULT; }

std::optional<std::wstring> RegistryText(HKEY root, const std::wstring& key, const wchar_t* name) {
  wchar_t value[1024] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return {};
  return std::wstring(value);
}

// The target of a shell link, or empty.
std::wstring ShortcutTarget(const std::wstring& link) {
  std::wstring target;
  IShellLinkW* shellLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shellLink)))) {
    return target;
  }
  IPersistFile* file = nullptr;
  if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) && SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0))) {
      target = path;
    }
    file->Release();
  }
  shellLink->Release();
  return target;
}

// The first visible dialog of a process, or null.
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
        if (owner != s->processId || std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Whether the package's Tessres.dll exports the custom actions. Built apart from the package:
// while they are missing, msiexec finds no entry point and goes on without them.
bool TessresHasCustomActions() {
  HMODULE library = LoadLibraryW((test::ProgramFolder() + L"Tessres.dll").c_str());
  if (!library) return false;
  bool all = true;
  for (const char* name : {"InstallUnicows", "SetNewSelectedLanguage", "InstallSecuritySettings", "VerifyLogin"}) {
    all = all && GetProcAddress(library, name) != nullptr;
  }
  FreeLibrary(library);
  return all;
}

// The files the package puts into the program folder, as the build made them.
std::vector<std::wstring> PackagedFiles() {
  std::vector<std::wstring> names = {L"Tessaly.exe", L"Tessres.dll", L"TessMon.exe", L"ConfigurationFile.xml",
                                     L"PCBKDP.DAT"};
  for (const wchar_t* code : {L"DE", L"DK", L"ES", L"FI", L"IT", L"NL", L"PL", L"PT", L"SE", L"UK", L"US"}) {
    names.push_back(std::wstring(code) + L"_Help.chm");
  }
  return names;
}

class PackageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void SetUp() override {
    // A run that failed half-way may have left the product behind.
    if (ProductInstalled()) Msiexec(L"/x " + std::wstring(kProductCode));
    ASSERT_FALSE(ProductInstalled());
  }
  void TearDown() override {
    if (ProductInstalled()) Msiexec(L"/x " + std::wstring(kProductCode));
  }

  // msiexec with these arguments, quiet, logging to a file of its own; its exit code. The log's
  // tail is printed when the code is not the one expected.
  DWORD Msiexec(const std::wstring& arguments, DWORD expected = 0) {
    const std::wstring log = logs_.RootText() + L"\\msiexec-" + std::to_wstring(++runs_) + L".log";
    Process msiexec;
    if (!msiexec.Start(L"msiexec.exe " + arguments + L" /qn /l*v \"" + log + L"\"")) return 0x7FFFFFFE;
    const DWORD code = msiexec.WaitForExit(180000);
    if (code != expected) {
      const std::string text = ReadAll(fs::path(log));
      std::cout << "msiexec " << WideToUtf8(arguments) << " ended with " << code << "; its log ends:\n"
                << text.substr(text.size() > 4000 ? text.size() - 4000 : 0) << "\n";
    }
    return code;
  }

  test::TempTree logs_;
  int runs_ = 0;
};

TEST_F(PackageTest, InstallsTheProgramWhichStartsFromItsFolderAndUninstallsCompletely) {
  const std::wstring package = WindowsPath(TESSALY_PACKAGE);
  const bool exports = TessresHasCustomActions();
  {
    std::optional<SetupDialogAnswerer> answers;
    if (exports) answers.emplace(std::vector<SetupDialogAnswerer::Step>{AgreeToTheLicence(), ChooseThePassword(kChosenPassword)});
    ASSERT_EQ(Msiexec(L"/i \"" + package + L"\""), 0u);
    if (answers) {
      EXPECT_EQ(answers->Finish(), 2);
    }
  }
  EXPECT_TRUE(ProductInstalled());
  if (exports) {
    // The chosen password is stored for the login, as UTF-16 without a terminator.
    BYTE stored[512] = {};
    DWORD size = sizeof stored;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Morvane Software\\Tessaly", L"Password", RRF_RT_REG_BINARY,
                           nullptr, stored, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(stored), size / 2), kChosenPassword);
  }

  // Every file, as it was packaged.
  const std::wstring folder = InstallFolder();
  const std::wstring packaged = test::WindowsFolder(TESSALY_PACKAGE_FILES);
  for (const std::wstring& name : PackagedFiles()) {
    SCOPED_TRACE(WideToUtf8(name));
    const fs::path installed(folder + name);
    ASSERT_TRUE(fs::exists(installed));
    const fs::path source(packaged + (name == L"TessMon.exe" ? name : L"program\\" + name));
    ASSERT_TRUE(fs::exists(source));
    EXPECT_EQ(ReadAll(installed), ReadAll(source));
  }
  // The Start-menu shortcut leads to the installed program.
  ASSERT_NE(ShortcutPath(), L"");
  EXPECT_EQ(ShortcutTarget(ShortcutPath()), folder + L"Tessaly.exe");
  // The registry: the product's entry among the installed programs and the folder kept by the
  // shortcut's component.
  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE,
                         std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kProductCode,
                         L"DisplayName"),
            L"Tessaly");
  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, L"Software\\Morvane Software\\Tessaly Setup", L"InstallFolder"), folder);

  // The installed program starts from its folder and finds its language resource (its title is the
  // program title, not a missing-string marker).
  {
    Process program;
    ASSERT_TRUE(program.Start(L"\"" + folder + L"Tessaly.exe\" -silent", folder.c_str()));
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] {
      for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, kSingleInstanceName, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == program.info.dwProcessId) window = w;
      }
      return window != nullptr;
    }));
    wchar_t title[128] = {};
    GetWindowTextW(window, title, 128);
    EXPECT_STREQ(title, L"Tessaly");
    if (exports) {
      // The login before removal: cancelled, the package stops and changes nothing; answered, it
      // closes the running program and the removal goes on.
      {
        SetupDialogAnswerer answers({LogIn(L"")});
        EXPECT_EQ(Msiexec(L"/x \"" + package + L"\"", kUserExit), kUserExit);
        EXPECT_EQ(answers.Finish(), 1);
      }
      EXPECT_TRUE(ProductInstalled());
      EXPECT_TRUE(fs::exists(fs::path(folder + L"Tessaly.exe")));
      EXPECT_EQ(program.WaitForExit(0), 0x7FFFFFFFu) << "still running";
      SetupDialogAnswerer answers({LogIn(kChosenPassword)});
      ASSERT_EQ(Msiexec(L"/x \"" + package + L"\""), 0u);
      EXPECT_EQ(answers.Finish(), 1);
      EXPECT_EQ(program.WaitForExit(15000), 0u) << "ended by the login before removal";
    } else {
      PostMessageW(window, WM_COMMAND, 1026, 0);  // File > Exit, and OK in the box it shows
      HWND confirm = nullptr;
      ASSERT_TRUE(WaitFor([&] { return (confirm = DialogOf(program.info.dwProcessId)) != nullptr; }));
      PostMessageW(confirm, WM_COMMAND, IDOK, 0);
      EXPECT_EQ(program.WaitForExit(15000), 0u);
      ASSERT_EQ(Msiexec(L"/x \"" + package + L"\""), 0u);
    }
  }

  EXPECT_FALSE(ProductInstalled());
  for (const std::wstring& name : PackagedFiles())
    EXPECT_FALSE(fs::exists(fs::path(folder + name))) << WideToUtf8(name);
  EXPECT_FALSE(fs::exists(fs::path(folder)));
  EXPECT_EQ(ShortcutPath(), L"");
  EXPECT_FALSE(RegistryText(HKEY_LOCAL_MACHINE, L"Software\\Morvane Software\\Tessaly Setup", L"InstallFolder"));
}

TEST_F(PackageTest, TheCustomActionsRunInTheirPlacesAndARefusalStopsThePackageUnchanged) {
  const std::wstring package = WindowsPath(TESSALY_STANDIN_PACKAGE);
  const fs::path log = logs_.root() / "actions.log";
  const std::wstring logArgument = L" TESSALY_ACTION_LOG=\"" + log.wstring() + L"\"";
  const std::string install =
      "InstallUnicows Installed=no REMOVE=\nSetNewSelectedLanguage Installed=no REMOVE=\n"
      "InstallSecuritySettings Installed=no REMOVE=\n";
  const std::string removal = "VerifyLogin Installed=yes REMOVE=ALL\n";
  struct Step {
    const char* name;
    const wchar_t* command;  // /i or /x
    const wchar_t* refuse;   // the action that answers 1602, or empty
    DWORD wantCode;
    std::string wantCalls;
    bool installedAfter;
  } steps[] = {
      {"install refused in the security settings", L"/i", L"InstallSecuritySettings", kUserExit, install, false},
      {"install", L"/i", L"", 0, install, true},
      {"removal refused at the login", L"/x", L"VerifyLogin", kUserExit, removal, true},
      {"removal", L"/x", L"", 0, removal, false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    fs::remove(log);
    const std::wstring refuse = *step.refuse ? std::wstring(L" TESSALY_REFUSE=") + step.refuse : L"";
    EXPECT_EQ(Msiexec(std::wstring(step.command) + L" \"" + package + L"\"" + logArgument + refuse, step.wantCode),
              step.wantCode);
    EXPECT_EQ(ReadAll(log), step.wantCalls);
    EXPECT_EQ(ProductInstalled(), step.installedAfter);
    EXPECT_EQ(fs::exists(fs::path(InstallFolder() + L"Tessaly.exe")), step.installedAfter);
    EXPECT_EQ(!ShortcutPath().empty(), step.installedAfter);
  }
}

}  // namespace
}  // namespace tessaly
