// What the exports of Tessres.dll do, for the installer: the Unicode layer on old systems, the
// texts and controls every action needs, the licence and password set-up, the language the user
// chose, the login before the program is changed or removed, and the pending moves of updated
// files. Each takes the library's module handle, so the tests can run them on other modules.
#pragma once

#include "SettingsStore.h"
#include "StringTable.h"

#include <windows.h>
#include <msi.h>

#include <functional>
#include <string>

namespace tessaly {

// Custom-action results: go on, or stop the installation as the user asked.
inline constexpr UINT kActionContinue = ERROR_SUCCESS;
inline constexpr UINT kActionUserExit = ERROR_INSTALL_USEREXIT;  // 1602

// The debug line of a DllMain call.
void LogEntryReason(DWORD reason);

// Every file (not folder) in programFolder + "UpdatedFiles\" is scheduled to replace the file of
// the same name in programFolder at the next restart of Windows. Failures are only logged.
void SchedulePendingMoves(const std::wstring& programFolder);

// Writes resource "XMLLanguage" 3 of module, unchanged, to systemFolder + "\unicows.dll". False
// when the resource is missing or the file cannot be written (reported); no file is made then.
bool WriteUnicowsRuntime(HMODULE module, const std::string& systemFolder);
// The export's work: on Windows of major version 4 only, into the system folder. Always 0.
UINT InstallUnicowsRuntime(HMODULE module);

// Copies the "RichEdit20" stream of the database's Binary table to target. False on any
// failure (reported).
bool ExtractFileFromMsi(MSIHANDLE database, const std::wstring& target);

// Prepares an action: the Unicode layer where needed, the rich-edit library (from
// "TSY_Setup.msi" when the system lacks it), the common controls, the language resource of
// module into table, and the language the user chose. kActionUserExit when the rich-edit
// library or the common controls cannot be had.
UINT LoadLanguageResources(HMODULE module, StringTable& table, SettingsStore& settings);

// The language identifier the installer hands over, as decimal text: the first non-empty of the
// properties "CustomActionData" (deferred actions), "SELECTEDLANGUAGE" and "UserLanguageID".
// Empty for a null handle or when none is set.
std::string InstallerLanguageId(MSIHANDLE install);
// Stores the display name for that identifier as "Language" ("English(UK)" when there is none).
UINT StoreSelectedLanguage(MSIHANDLE install, SettingsStore& settings);

// The dialogs of the security set-up, as the action runs them.
struct SetupDialogs {
  std::function<INT_PTR(const std::wstring& rtfPath)> licence;  // template 139 over an RTF file
  std::function<INT_PTR()> security;                            // template 141
};
// The licence text goes to the file modulePath + ".license" while the licence dialog runs, then
// the security-settings dialog. kActionUserExit when either does not end with 0.
UINT RunSecuritySetup(HMODULE module, StringTable& table, SettingsStore& settings, const SetupDialogs& dialogs);
// The dialogs of Tessres.dll itself.
SetupDialogs TessresSetupDialogs(HMODULE module, StringTable& table, SettingsStore& settings);

// The login dialog of module; once accepted, a running Tessaly is told to quit.
UINT VerifyLoginAndCloseProgram(HMODULE module, StringTable& table, SettingsStore& settings);

}  // namespace tessaly
