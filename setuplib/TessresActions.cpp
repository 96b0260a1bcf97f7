#include "TessresActions.h"

#include "AnsiCodePage.h"
#include "InstallerLanguage.h"
#include "LicenseDialog.h"
#include "LoginDialog.h"
#include "StartupModel.h"
#include "ModuleInfo.h"
#include "MvError.h"
#include "PasswordStore.h"
#include "SecuritySettingsDialog.h"
#include "Settings.h"
#include "WinHandles.h"

#include <commctrl.h>
#include <msiquery.h>

#include <cstring>
#include <vector>

namespace tessaly {
namespace {

constexpr int kLanguageResourceId = 1;
constexpr wchar_t kSetupDatabase[] = L"TSY_Setup.msi";
constexpr UINT kQuitAnswerMs = 10000;
constexpr DWORD kProgramEndMs = 30000;

MvError& ActionError() {
  static MvError error;
  return error;
}

// The rich-edit library: loaded from the system, else written there from the installer database
// and loaded again. False when it cannot be had.
bool LoadRichEdit() {
  if (LoadLibraryA("riched20.dll")) return true;
  ActionError().Report(L"LoadLanguageResources(): Failed to load RichEdit, Error(%s)", MvError::GetLastError());
  wchar_t folder[512] = {};
  GetSystemDirectoryW(folder, 512);
  const std::wstring target = std::wstring(folder) + L"\\riched20.dll";
  MSIHANDLE database = 0;
  bool extracted = false;
  if (MsiOpenDatabaseW(kSetupDatabase, MSIDBOPEN_READONLY, &database) == ERROR_SUCCESS) {
    extracted = ExtractFileFromMsi(database, target);
    MsiCloseHandle(database);
  }
  if (!extracted) {
    ActionError().Report(L"LoadLanguageResources(): Failed to extract DLL RichEdit20, Error(%s)",
                         MvError::GetLastError());
    return true;  // the action goes on; only a library that was there and still fails stops it
  }
  if (!LoadLibraryA("riched20.dll")) {
    ActionError().Report(L"LoadLanguageResources(): Failed to load RichEdit for the second time(%s), Error(%s)", target,
                         MvError::GetLastError());
    return false;
  }
  DebugPrint(L"LoadLanguageResources(): RichEdit properly loaded on second attempt\r\n");
  return true;
}

void LoadLanguageXml(HMODULE module, StringTable& table) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kLanguageResourceId), L"XMLLanguage");
  if (!found) {
    ActionError().Report(L"LoadLanguageResources(): Failed to FindResource, Error(%s)", MvError::GetLastError());
    return;
  }
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) {
    ActionError().Report(L"LoadLanguageResources(): Failed to LoadResource, Error(%s)", MvError::GetLastError());
    return;
  }
  const void* data = LockResource(loaded);
  if (!data) {
    ActionError().Report(L"LoadLanguageResources(): Failed to LockResource, Error(%s)", MvError::GetLastError());
    return;
  }
  // Resource data need not be aligned for wchar_t: copied bytewise.
  std::wstring text(SizeofResource(module, found) / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), data, text.size() * sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  LoadLanguageXMLData(table, text);
}

// The module's own file path; empty (reported) when it cannot be had.
std::wstring ModulePath(HMODULE module) {
  wchar_t path[512] = {};
  const DWORD length = GetModuleFileNameW(module, path, 512);
  if (length == 0 || length >= 512) {
    ActionError().Report(L"InstallSecuritySettings(): GetModuleFileNameW failed, Error(%s)", MvError::GetLastError());
    return {};
  }
  return path;
}

std::string Property(MSIHANDLE install, const wchar_t* name) {
  DWORD length = 0;
  wchar_t empty[1] = {};
  UINT status = MsiGetPropertyW(install, name, empty, &length);
  if (status != ERROR_MORE_DATA && status != ERROR_SUCCESS) return {};
  if (length == 0) return {};
  std::vector<wchar_t> value(length + 1);
  DWORD capacity = length + 1;
  if (MsiGetPropertyW(install, name, value.data(), &capacity) != ERROR_SUCCESS) return {};
  return WideToAnsi(std::wstring(value.data(), capacity));
}

}  // namespace

UINT LoadLanguageResources(HMODULE module, StringTable& table, SettingsStore& settings) {
  if (IsWindowsVersion4()) {
    InstallUnicowsRuntime(module);
    if (!LoadLibraryA("unicows.dll")) {
      ActionError().Report(L"LoadLanguageResources(): Failed to load unicows.dll, Error(%s)", MvError::GetLastError());
    }
  }
  if (!LoadRichEdit()) return kActionUserExit;
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  if (!InitCommonControlsEx(&controls)) {
    ActionError().Report(L"LoadLanguageResources(): InitCommonControlsEx failed, Error(%s)", MvError::GetLastError());
    return kActionUserExit;
  }
  LoadLanguageXml(module, table);
  if (std::optional<std::wstring> language = Settings(settings).LanguageText()) {
    if (language->size() > 3) {
      DebugPrint(L"Setting current language(%s)\r\n", *language);
      SelectLanguage(table, language->c_str());
    } else {
      DebugPrint(L"Setting default language\r\n");
      SelectLanguage(table, kDefaultLanguage);
    }
  }
  return kActionContinue;
}

std::string InstallerLanguageId(MSIHANDLE install) {
  if (!install) return {};
  for (const wchar_t* name : {L"CustomActionData", L"SELECTEDLANGUAGE", L"UserLanguageID"}) {
    std::string value = Property(install, name);
    if (!value.empty()) return value;
  }
  return {};
}

UINT StoreSelectedLanguage(MSIHANDLE install, SettingsStore& settings) {
  const std::string id = InstallerLanguageId(install);
  const std::wstring language = LanguageForInstallerText(id.empty() ? nullptr : id.c_str());
  DebugPrint(L"SetNewSelectedLanguage(), language %s for \"%s\"\r\n", language, AnsiToWide(id));
  if (!Settings(settings).SetInstallerLanguage(language)) {
    ActionError().Report(L"SetNewSelectedLanguage(): the language %s could not be stored", language);
  }
  return kActionContinue;
}

UINT RunSecuritySetup(HMODULE module, StringTable& table, SettingsStore& settings, const SetupDialogs& dialogs) {
  if (const UINT prepared = LoadLanguageResources(module, table, settings); prepared != kActionContinue) return prepared;
  const std::wstring modulePath = ModulePath(module);
  if (!modulePath.empty()) {
    const std::wstring rtfPath = modulePath + L".license";
    win::UniqueFile file(CreateFileW(rtfPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!file) {
      ActionError().Report(L"InstallSecuritySettings(): Failed to create RTF file, Error(%s)", MvError::GetLastError());
    } else {
      const std::string rtf = WideToAnsi(GetString(false, L"IDS_LICENSE_RTFDATA", table));
      DWORD written = 0;
      if (!WriteFile(file.get(), rtf.data(), static_cast<DWORD>(rtf.size()), &written, nullptr) ||
          written != rtf.size()) {
        ActionError().Report(L"InstallSecuritySettings(): Failed to write RTF file, Error(%s)", MvError::GetLastError());
      }
      file.reset();  // written through before the dialog reads it
      const INT_PTR agreed = dialogs.licence(rtfPath);
      if (!DeleteFileW(rtfPath.c_str())) {
        ActionError().Report(L"InstallSecuritySettings(): Failed to delete %s, Error(%s)", rtfPath,
                             MvError::GetLastError());
      }
      if (agreed != 0) return kActionUserExit;
    }
  }
  return dialogs.security() == 0 ? kActionContinue : kActionUserExit;
}

SetupDialogs TessresSetupDialogs(HMODULE module, StringTable& table, SettingsStore& settings) {
  return SetupDialogs{
      [module, &table](const std::wstring& rtfPath) -> INT_PTR {
        return RunLicenseDialog(LicenseDialogSetup{module, &table, rtfPath, false}, nullptr);
      },
      [module, &table, &settings]() -> INT_PTR {
        // The installation goes on only with all three entries really stored.
        return RunSecuritySettingsDialog(module, table, [&settings](const SecuritySettings& entered) {
          return StorePassword(settings, entered.password) && StoreQuestion(settings, entered.question) &&
                 StoreAnswer(settings, entered.answer);
        });
      },
  };
}

UINT VerifyLoginAndCloseProgram(HMODULE module, StringTable& table, SettingsStore& settings) {
  if (const UINT prepared = LoadLanguageResources(module, table, settings); prepared != kActionContinue) return prepared;
  LoginContext login;
  login.language = &table;
  login.settings = &settings;
  if (RunLoginDialog(module, nullptr, login) != kLoginAccepted) {
    ActionError().Report(L"VerifyLogin(): Failed to show LoginDialog, Error(%s)", MvError::GetLastError());
    return kActionUserExit;
  }
  if (HWND program = FindWindowW(kSingleInstanceName, nullptr)) {
    DebugPrint(L"VerifyLogin(), asking the running Tessaly to quit\r\n");
    // Its process is opened first: once the window is gone its id may be reused.
    DWORD processId = 0;
    GetWindowThreadProcessId(program, &processId);
    win::UniqueKernelHandle process;
    if (processId != 0 && processId != GetCurrentProcessId()) process.reset(OpenProcess(SYNCHRONIZE, FALSE, processId));
    // A hung program must not hang the installer with it.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(program, WM_QUIT, 0, 0, SMTO_ABORTIFHUNG, kQuitAnswerMs, &ignored))
      ActionError().Report(L"VerifyLogin(): the running Tessaly did not take WM_QUIT, Error(%s)", MvError::GetLastError());
    // The removal that follows cannot delete the files of a program that is still ending; the
    // installer's own in-use handling takes over for one that does not end in time.
    if (process && WaitForSingleObject(process.get(), kProgramEndMs) != WAIT_OBJECT_0)
      ActionError().Report(L"VerifyLogin(): the running Tessaly did not end within %d seconds", kProgramEndMs / 1000);
  }
  return kActionContinue;
}

}  // namespace tessaly
