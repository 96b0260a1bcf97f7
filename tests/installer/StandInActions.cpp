// A stand-in for Tessres.dll's custom actions, for a package that shows which action the installer
// calls when. Each export appends one line to the file named by the public property
// TESSALY_ACTION_LOG: "<action> Installed=<yes|no> REMOVE=<value>", and returns 1602 (the user
// cancelled) when the property TESSALY_REFUSE names it, else 0.
#include <windows.h>
// After windows.h, which they need.
#include <msi.h>
#include <msiquery.h>

#include <string>

namespace {

std::wstring Property(MSIHANDLE session, const wchar_t* name) {
  wchar_t value[1024] = {};
  DWORD size = 1024;
  if (MsiGetPropertyW(session, name, value, &size) != ERROR_SUCCESS) return L"(unreadable)";
  return value;
}

UINT Record(MSIHANDLE session, const wchar_t* action) {
  const std::wstring log = Property(session, L"TESSALY_ACTION_LOG");
  const std::wstring line = std::wstring(action) + L" Installed=" +
                            (Property(session, L"Installed").empty() ? L"no" : L"yes") + L" REMOVE=" +
                            Property(session, L"REMOVE") + L"\n";
  HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ERROR_INSTALL_FAILURE;
  const std::string bytes(line.begin(), line.end());  // ASCII
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok) return ERROR_INSTALL_FAILURE;
  return Property(session, L"TESSALY_REFUSE") == action ? ERROR_INSTALL_USEREXIT : ERROR_SUCCESS;
}

}  // namespace

extern "C" {
__declspec(dllexport) UINT __stdcall InstallUnicows(MSIHANDLE session) { return Record(session, L"InstallUnicows"); }
__declspec(dllexport) UINT __stdcall SetNewSelectedLanguage(MSIHANDLE session) {
  return Record(session, L"SetNewSelectedLanguage");
}
__declspec(dllexport) UINT __stdcall InstallSecuritySettings(MSIHANDLE session) {
  return Record(session, L"InstallSecuritySettings");
}
__declspec(dllexport) UINT __stdcall VerifyLogin(MSIHANDLE session) { return Record(session, L"VerifyLogin"); }
}
