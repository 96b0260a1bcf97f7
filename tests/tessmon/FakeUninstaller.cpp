// A stand-in uninstaller that behaves like many real ones: it copies itself to a temp folder,
// starts the copy and exits at once; the copy works for a while and then writes a marker file.
//   FakeUninstaller.exe <marker> <workMs>
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc >= 4 && std::wstring(argv[1]) == L"/child") {
    Sleep(static_cast<DWORD>(wcstoul(argv[3], nullptr, 10)));
    HANDLE f = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 4;
    CloseHandle(f);
    return 0;
  }
  if (argc < 3) return 1;
  wchar_t self[MAX_PATH], temp[MAX_PATH];
  if (!GetModuleFileNameW(nullptr, self, MAX_PATH) || !GetTempPathW(MAX_PATH, temp)) return 2;
  std::wstring copy = std::wstring(temp) + L"FakeUninstallerCopy" + std::to_wstring(GetCurrentProcessId()) + L".exe";
  if (!CopyFileW(self, copy.c_str(), FALSE)) return 2;
  std::wstring line = L"\"" + copy + L"\" /child \"" + argv[1] + L"\" " + argv[2];
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(copy.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 3;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}
