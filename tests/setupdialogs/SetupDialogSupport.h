// What the setup dialog tests share: Tessres.dll loaded from the program folder (its templates),
// rich edit loaded, and waiting for a dialog of the test's thread from the driver's thread.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "DialogDriver.h"
#include "GuiTestSupport.h"
#include "WinHandles.h"

namespace tessaly::test {

inline HMODULE SetupLibrary() {
  static HMODULE library = [] {
    LoadLibraryW(L"riched20.dll");
    return LoadLibraryW((ProgramFolder() + L"Tessres.dll").c_str());
  }();
  return library;
}

inline std::wstring Text(const wchar_t* id) { return GetString(false, id, ShippedLanguage()); }

// A visible dialog of thread captioned caption (not `other`), waited for up to five seconds.
inline HWND WaitForDialog(DWORD thread, const std::wstring& caption, HWND other = nullptr) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  for (;;) {
    if (HWND found = FindDialogCaptioned(thread, caption, {other})) return found;
    if (std::chrono::steady_clock::now() > end) return nullptr;
    Sleep(10);
  }
}

inline void WaitUntilGone(HWND window) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (IsWindow(window) && std::chrono::steady_clock::now() < end) Sleep(10);
}

inline std::wstring ItemText(HWND dialog, int id) {
  wchar_t text[8192] = {};
  GetDlgItemTextW(dialog, id, text, 8192);
  return text;
}

inline bool ItemVisible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

inline void Click(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace tessaly::test
