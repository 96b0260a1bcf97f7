#include "Startup.h"

#include "DebugLog.h"
#include "LanguageResource.h"
#include "LoginDialog.h"
#include "MainWindowModel.h"
#include "ProgramWindow.h"
#include "P2pFinders.h"
#include "Settings.h"
#include "SystemInfo.h"
#include "TextConvert.h"
#include "UpdateDialog.h"
#include "WelcomeDialog.h"
#include "Win32Check.h"

#include <commctrl.h>

namespace tessaly {
namespace {

}  // namespace

MvError& AppError() {
  static MvError error;
  return error;
}

void LogStartLine() {
  const std::wstring buildTime = BuildTimeText();
  const std::wstring buildDate = BuildDateText();
  const std::wstring currentTime = CurrentTimeText();
  const std::wstring currentDate = CurrentDateText();
  DebugPrint(L"\r\nStarting Tessaly, BuildTime(%s) - BuildDate(%s), Current Timestamp %s, %s\r\n", buildTime,
             buildDate, currentTime, currentDate);
}

SingleInstance TakeSingleInstance() {
  SingleInstance instance;
  instance.mutex.reset(CreateMutexW(nullptr, TRUE, kSingleInstanceName));
  const DWORD lastError = GetLastError();
  if (!instance.mutex) {
    AppError().Report(L"CreateMutexW(%s) failed, running without the single-instance guard", kSingleInstanceName);
    return instance;
  }
  instance.anotherRunning = lastError == ERROR_ALREADY_EXISTS;
  return instance;
}

bool WakeFirstInstance() {
  HWND first = FindWindowExW(nullptr, nullptr, kSingleInstanceName, nullptr);
  if (!first) return false;
  // With a time-out, so a first instance that hangs cannot hang this one too.
  DWORD_PTR result = 0;
  win::CheckWin32(AppError(),
                  SendMessageTimeoutW(first, kTrayMessage, 0, WM_LBUTTONDBLCLK, SMTO_ABORTIFHUNG, 10000, &result) != 0,
                  L"SendMessageTimeoutW", L"wake the first instance");
  return true;
}

StartupSwitches ReadStartupSwitches(const char* commandLine) {
  return FindStartupSwitches(AnsiToWide(commandLine ? commandLine : ""));
}

void PrepareControls() {
  // Kept loaded for the rich-edit controls of the dialogs; the process end unloads it.
  if (!LoadLibraryW(L"riched20.dll")) AppError().Report(L"Failed to load riched20.dll");
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  if (!InitCommonControlsEx(&controls)) AppError().Report(L"Failed to initialize Common Controls Extended");
}

bool LoadLanguageResource(const std::wstring& folder, StringTable& table) {
  const std::wstring path = folder + L"Tessres.dll";
  win::UniqueModule library(LoadLibraryW(path.c_str()));
  if (!library) {
    AppError().Report(L"Failed to load Tessres");
    return false;
  }
  // A library without the resource loads nothing, silently.
  if (auto text = ReadLanguageResource(library.get())) LoadLanguageXMLData(table, *text);
  return true;
}

std::wstring ChooseLanguage(const SettingsStore& settings, StringTable& table) {
  const std::wstring name = Settings(settings).ChooseLanguage();
  SelectLanguage(table, name.c_str());
  return name;
}

INT_PTR RunUpdateDialog(HWND owner, SettingsStore& settings, StringTable& language, StringTable& configuration) {
  UpdateDialogSetup setup;
  setup.session.language = &language;
  setup.session.configuration = &configuration;
  setup.session.settings = &settings;
  setup.session.mutexCode = kSingleInstanceName;
  UpdateDialog dialog(std::move(setup));
  return dialog.Run(owner);
}

bool RunStartupDialogs(const StartupSwitches& switches, SettingsStore& settings) {
  DebugPrint(L"Login starting...\r\n");
  if (!switches.SkipDialogs()) {
    LoginContext login;
    login.language = &LanguageTable();
    login.settings = &settings;
    // Cancelled, or not shown at all: the program ends.
    if (RunLoginDialog(GetModuleHandleW(nullptr), nullptr, login) != kLoginAccepted) {
      DebugPrint(L"RunStartupDialogs(), no login, ending\r\n");
      return false;
    }
  }

  DebugPrint(L"Updates starting...\r\n");
  if (!switches.SkipDialogs() &&
      RunUpdateDialog(nullptr, settings, LanguageTable(), ConfigurationTable()) == kUpdateResultLaunched) {
    DebugPrint(L"RunStartupDialogs(), the updater runs, ending\r\n");
    return false;
  }

  DebugPrint(L"Welcome screen starting...\r\n");
  if (!switches.SkipDialogs()) {
    if (Settings(settings).DontShowWelcome()) {
      DebugPrint(L"RunStartupDialogs(), welcome dialog not wanted\r\n");
    } else {
      WelcomeRequest welcome;
      welcome.language = &LanguageTable();
      welcome.settings = &settings;
      welcome.checkRegistryVisibility = true;
      ShowWelcome(nullptr, welcome);
    }
  }
  return true;
}

int RunTessaly(HINSTANCE instance, const char* commandLine) {
  LogStartLine();

  SingleInstance single = TakeSingleInstance();
  if (single.anotherRunning) {
    DebugPrint(L"Another Tessaly is already running\r\n");
    WakeFirstInstance();
    return kExitFailed;
  }

  const StartupSwitches switches = ReadStartupSwitches(commandLine);
  FinderTable();
  PrepareControls();

  const std::wstring folder = ModuleFolder();
  LoadLanguageResource(folder, LanguageTable());
  LoadConfigurationFile(folder + L"ConfigurationFile.xml", ConfigurationTable());

  SettingsStore& settings = SystemSettingsStore();
  ChooseLanguage(settings, LanguageTable());

  int exitCode = kExitNormal;
  if (RunStartupDialogs(switches, settings)) {
    exitCode = RunMainWindow(instance, switches, settings);
  }
  if (exitCode == kExitFailed) return exitCode;  // the system releases the mutex at the end
  if (single.mutex) ReleaseMutex(single.mutex.get());
  return exitCode;
}

}  // namespace tessaly
