// The program's start-up, step by step: single instance, command line, common controls and rich
// edit, the language resource from Tessres.dll, the configuration file, the language choice, the
// dialogs before the main window, then the main window and its message loop. Each step is a
// function of its own so the tests can run them one by one.
#pragma once

#include "MvError.h"
#include "SettingsStore.h"
#include "StartupModel.h"
#include "StringTable.h"
#include "WinHandles.h"

#include <windows.h>

#include <string>

namespace tessaly {

// The application's own error object.
MvError& AppError();

// Step 1: the start line with build and current time.
void LogStartLine();

// Step 2. The mutex handle (null when none could be made: start-up then runs unguarded) and
// whether another instance holds it.
struct SingleInstance {
  win::UniqueKernelHandle mutex;
  bool anotherRunning = false;
};
SingleInstance TakeSingleInstance();
// Tells the first instance to come forward, as a double click on its tray icon would. False
// when its window cannot be found.
bool WakeFirstInstance();

// Step 3: the ANSI command line, converted and searched for the switches.
StartupSwitches ReadStartupSwitches(const char* commandLine);

// Steps 5 and 6. The rich-edit library stays loaded for the life of the process.
void PrepareControls();

// Step 7: copies the "XMLLanguage" resource 1 of folder + "Tessres.dll" into table. False when
// the library cannot be loaded (reported); a library without the resource loads nothing.
bool LoadLanguageResource(const std::wstring& folder, StringTable& table);

// Step 9: chooses the display name from the stored settings and selects it in table (the first
// listed language stays current when none has that name). Returns the name chosen.
std::wstring ChooseLanguage(const SettingsStore& settings, StringTable& table);

// The update dialog with owner (null at start-up), checking the address of the configuration
// table. 5 when the updater was launched and the program must end, else 0.
INT_PTR RunUpdateDialog(HWND owner, SettingsStore& settings, StringTable& language, StringTable& configuration);

// Steps 10 to 12: the login, update and welcome dialogs, skipped by the switches. False when
// one of them ends the program.
bool RunStartupDialogs(const StartupSwitches& switches, SettingsStore& settings);

// The whole sequence; the process exit code.
int RunTessaly(HINSTANCE instance, const char* commandLine);

}  // namespace tessaly
