// A stand-in uninstaller. It records each start in "ran.txt" beside itself and removes
// "client.exe" from its folder, unless "keep.flag" is there (an uninstall that leaves the program
// behind). With "relaunch.flag" beside it, it behaves like many real uninstallers: it copies itself
// to the temp folder, starts the copy and exits at once; only the copy, a moment later, does the
// removal.
//   TestUninstaller.exe [anything...]      the copy: TestUninstaller.exe /child <folder>
#include <windows.h>

#include <string>

namespace {

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Record(const std::wstring& folder, const wchar_t* line) {
  HANDLE f = CreateFileW((folder + L"ran.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  std::wstring text = std::wstring(line) + L"\n";
  std::string narrow(text.begin(), text.end());  // the tests' paths are ASCII
  DWORD written = 0;
  WriteFile(f, narrow.data(), static_cast<DWORD>(narrow.size()), &written, nullptr);
  CloseHandle(f);
}

int Remove(const std::wstring& folder, DWORD workMs) {
  Sleep(workMs);
  if (Exists(folder + L"keep.flag")) return 0;
  return DeleteFileW((folder + L"client.exe").c_str()) ? 0 : 5;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 3 && std::wstring(argv[1]) == L"/child") return Remove(argv[2], 1500);

  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 2;
  std::wstring path(self, n);
  const std::wstring folder = path.substr(0, path.rfind(L'\\') + 1);
  Record(folder, GetCommandLineW());
  if (!Exists(folder + L"relaunch.flag")) return Remove(folder, 200);

  wchar_t temp[MAX_PATH];
  if (!GetTempPathW(MAX_PATH, temp)) return 2;
  const std::wstring copy = std::wstring(temp) + L"TestUninstallerCopy" + std::to_wstring(GetCurrentProcessId()) + L".exe";
  if (!CopyFileW(path.c_str(), copy.c_str(), FALSE)) return 2;
  std::wstring line = L"\"" + copy + L"\" /child \"" + folder + L"\"";
  // The folder ends in a backslash: doubled so the closing quote stays a quote.
  line.insert(line.size() - 1, L"\\");
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(copy.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 3;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}
