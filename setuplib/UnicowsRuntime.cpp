// The Unicode layer for Windows 95/98: carried as resource "XMLLanguage" 3 when the build was given
// the file, written out unchanged. Only ANSI calls here: on those systems nothing else works yet.
#include "TessresActions.h"

#include "AnsiCodePage.h"
#include "ModuleInfo.h"
#include "MvError.h"
#include "WinHandles.h"

namespace tessaly {
namespace {

constexpr int kUnicowsResourceId = 3;

MvError& UnicowsError() {
  static MvError error;
  return error;
}

}  // namespace

bool WriteUnicowsRuntime(HMODULE module, const std::string& systemFolder) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(kUnicowsResourceId), "XMLLANGUAGE");
  if (!found) {
    UnicowsError().Report(L"LoadLanguageResources(): Failed to FindResource, Error(%s)", MvError::GetLastError());
    return false;
  }
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) {
    UnicowsError().Report(L"LoadLanguageResources(): Failed to LoadResource, Error(%s)", MvError::GetLastError());
    return false;
  }
  const void* data = LockResource(loaded);
  const DWORD size = SizeofResource(module, found);
  if (!data) {
    UnicowsError().Report(L"LoadLanguageResources(): Failed to LockResource, Error(%s)", MvError::GetLastError());
    return false;
  }
  const std::string path = systemFolder + "\\unicows.dll";
  win::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    UnicowsError().Report(L"LoadLanguageResources(): Failed to LockResource, Error(%s)", MvError::GetLastError());
    return false;
  }
  DWORD written = 0;
  if (!WriteFile(file.get(), data, size, &written, nullptr) || written != size) {
    // A cut-off runtime would break every program that loads it: it goes.
    UnicowsError().Report(L"LoadLanguageResources(): Failed to write %s, Error(%s)", AnsiToWide(path), MvError::GetLastError());
    file.reset();
    DeleteFileA(path.c_str());
    return false;
  }
  return true;
}

UINT InstallUnicowsRuntime(HMODULE module) {
  if (!IsWindowsVersion4()) return kActionContinue;
  char folder[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) {
    UnicowsError().Report(L"InstallUnicows(): GetSystemDirectoryA failed, Error(%s)", MvError::GetLastError());
    return kActionContinue;
  }
  WriteUnicowsRuntime(module, folder);
  return kActionContinue;
}

}  // namespace tessaly
