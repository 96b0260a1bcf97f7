// Entry point and exports of Tessres.dll. The program loads the library for its language
// resource; the installer calls the four exports as custom actions (one MSIHANDLE argument, the
// installer's result code).
#include "StringTable.h"
#include "ModuleInfo.h"
#include "TessresActions.h"

#include <windows.h>
#include <msi.h>

// x86-64 exports by the attribute; i686 through Tessres.def, which gives the __stdcall names
// without their decoration.
#if defined(_WIN64)
#define TESSRES_EXPORT __declspec(dllexport)
#else
#define TESSRES_EXPORT
#endif

namespace {

HMODULE g_module = nullptr;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  g_module = instance;
  tessaly::LogEntryReason(reason);
  if (reason == DLL_PROCESS_ATTACH) tessaly::SchedulePendingMoves(tessaly::ModuleFolder());
  return TRUE;
}

extern "C" TESSRES_EXPORT UINT __stdcall InstallUnicows(MSIHANDLE) {
  return tessaly::InstallUnicowsRuntime(g_module);
}

extern "C" TESSRES_EXPORT UINT __stdcall InstallSecuritySettings(MSIHANDLE) {
  tessaly::StringTable table;
  tessaly::SettingsStore& settings = tessaly::SystemSettingsStore();
  return tessaly::RunSecuritySetup(g_module, table, settings, tessaly::TessresSetupDialogs(g_module, table, settings));
}

extern "C" TESSRES_EXPORT UINT __stdcall SetNewSelectedLanguage(MSIHANDLE install) {
  return tessaly::StoreSelectedLanguage(install, tessaly::SystemSettingsStore());
}

extern "C" TESSRES_EXPORT UINT __stdcall VerifyLogin(MSIHANDLE) {
  tessaly::StringTable table;
  return tessaly::VerifyLoginAndCloseProgram(g_module, table, tessaly::SystemSettingsStore());
}
