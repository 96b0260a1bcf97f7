#include "ModuleInfo.h"

#include "DebugLog.h"

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

}  // namespace

const wchar_t* ModuleFolder() {
  static std::wstring buffer;
  wchar_t path[1040] = {};
  GetModuleFileNameW(nullptr, path, 1040);
  buffer = path;
  buffer = buffer.substr(0, buffer.rfind(L'\\') + 1);
  return buffer.c_str();
}

const wchar_t* ProductVersionText() {
  static std::wstring buffer;
  buffer.clear();
  wchar_t path[1040] = {};
  GetModuleFileNameW(nullptr, path, 1040);
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(path, &handle);
  if (size == 0) return buffer.c_str();
  std::vector<unsigned char> block(size, 0);
  if (!GetFileVersionInfoW(path, 0, size, block.data())) {
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
