// The dialogs of the installation: the licence agreement as the installation shows it (from
// Tessres.dll) and as the main window's menu shows it (the program's template, options hidden),
// and the security settings with a password typed in.
#include "GuiTestSupport.h"
#include "LicenseDialog.h"
#include "Scene.h"
#include "SecuritySettingsDialog.h"
#include "SetupDialogResources.h"
#include "TempTree.h"

#include <windows.h>

namespace tessaly::test {
namespace {

HMODULE SetupLibrary() {
  static HMODULE library = LoadLibraryW((ProgramFolder() + L"Tessres.dll").c_str());
  return library;
}

void ShootLicence(Scene& scene, HINSTANCE instance, bool hidden, const std::wstring& name) {
  TempTree folder;
  LicenseDialogSetup setup;
  setup.instance = instance;
  setup.language = &scene.Language();
  setup.rtfFile = folder.RootText() + L"\\LicenseFile.rtf";
  setup.hideAgreementOptions = hidden;
  scene.ShootModal([&] { ShowLicenseAgreement(setup, nullptr, LicenseFileUse::Program); }, name, {}, IDOK);
}

TESSALY_SCENE(SetupLicenseInstallation) { ShootLicence(scene, SetupLibrary(), false, L"license-agreement"); }

TESSALY_SCENE(SetupLicenseFromMenu) { ShootLicence(scene, GetModuleHandleW(nullptr), true, L"license-read"); }

TESSALY_SCENE(SetupSecuritySettings) {
  const SecuritySettingsStore keep = [](const SecuritySettings&) { return true; };
  scene.ShootModal([&] { RunSecuritySettingsDialog(SetupLibrary(), scene.Language(), keep); }, L"security-settings",
                   [](HWND dialog) {
                     SetDlgItemTextW(dialog, IDC_SECURITY_PASSWORD, L"secret1");
                     SetDlgItemTextW(dialog, IDC_SECURITY_PASSWORDAGAIN, L"secret1");
                     SetDlgItemTextW(dialog, IDC_SECURITY_ANSWER, L"Casablanca");
                   },
                   IDC_SECURITY_CANCEL);
}

}  // namespace
}  // namespace tessaly::test
