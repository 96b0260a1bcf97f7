#include "ModuleInfo.h"

#include "DebugLog.h"
#include "MvError.h"

#include <windows.h>

#include <string>
#include <vector>

namespace tessaly {
namespace {

bool WindowsVersionIs(DWORD major, DWORD minor, bool matchMinor) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
  return info.dwMajorVersion == major && (!matchMinor || info.dwMinorVersion == minor);
}

// The program's own file, whatever the length of its path; empty (and logged) on failure.
std::wstring OwnModulePath() {
  std::vector<wchar_t> path(MAX_PATH + 1);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      DebugPrint(L"GetModuleFileNameW failed: %s\r\n", MvError::GetLastError());
      return {};
    }
    if (length < path.size()) return std::wstring(path.data(), length);
    if (path.size() >= 32768) return {};  // longer than any path Windows allows
    path.resize(path.size() * 2);  // cut off: try again with room
  }
}

}  // namespace

const wchar_t* ModuleFolder() {
  static std::wstring buffer;
  buffer = OwnModulePath();
  buffer = buffer.substr(0, buffer.rfind(L'\\') + 1);
  return buffer.c_str();
}

const wchar_t* ProductVersionText() {
  static std::wstring buffer;
  buffer.clear();
  const std::wstring path = OwnModulePath();
  if (path.empty()) return buffer.c_str();
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (size == 0) return buffer.c_str();
  std::vector<unsigned char> block(size, 0);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) {
    DebugPrint(L"***ERROR*** Failed to get FileVersion\r\n");
    return buffer.c_str();
  }
  wchar_t* value = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\StringFileInfo\\040604b0\\ProductVersion",
                     reinterpret_cast<void**>(&value), &length) && value && length > 0) {
    buffer = value;
    DebugPrint(L"Tessaly: ProductVersion found(%s)\r\n", buffer);
  }
  return buffer.c_str();
}

bool IsWindowsVersion4() { return WindowsVersionIs(4, 0, false); }
bool IsWindows2000() { return WindowsVersionIs(5, 0, true); }

}  // namespace tessaly
