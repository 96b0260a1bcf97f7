// The login dialog: the program's in both modes (the answer mode after "Forgot Password", with a
// stored question), and the one of Tessres.dll that the installer shows. Nothing is typed; every
// scene closes with Cancel.
#include "LoginDialog.h"
#include "LoginDialogResources.h"
#include "GuiTestSupport.h"
#include "PasswordStore.h"
#include "Scene.h"
#include "WinHandles.h"

#include <windows.h>

namespace tessaly::test {
namespace {

void ShootLogin(Scene& scene, HINSTANCE instance, const std::wstring& name, bool forgot) {
  MemorySettingsStore settings;
  StorePassword(settings, L"secret");
  StoreQuestion(settings, GetString(false, L"IDS_WHATISYOURFAVORITEMOVIE", scene.Language()));
  LoginContext login;
  login.language = &scene.Language();
  login.settings = &settings;
  scene.ShootModal([&] { RunLoginDialog(instance, nullptr, login); }, name, [forgot](HWND dialog) {
    if (forgot) SendMessageW(GetDlgItem(dialog, IDC_LOGIN_FORGOT), BM_CLICK, 0, 0);
  });
}

TESSALY_SCENE(LoginPassword) { ShootLogin(scene, GetModuleHandleW(nullptr), L"login-password", false); }

TESSALY_SCENE(LoginAnswer) { ShootLogin(scene, GetModuleHandleW(nullptr), L"login-answer", true); }

TESSALY_SCENE(LoginSetup) {
  win::UniqueModule tessres(LoadLibraryW((ProgramFolder() + L"Tessres.dll").c_str()));
  if (!tessres) throw std::runtime_error("Tessres.dll cannot be loaded");
  ShootLogin(scene, tessres.get(), L"login-setup", false);
}

}  // namespace
}  // namespace tessaly::test
