// Entry point of Tessres.dll. The library is loaded by the program for its language resource and
// by the installer for its custom actions; it keeps no per-thread state.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}
