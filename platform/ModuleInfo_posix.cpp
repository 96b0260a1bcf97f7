#include "ModuleInfo.h"

#include "TextConvert.h"

#include <unistd.h>

#include <string>

namespace tessaly {

const wchar_t* ModuleFolder() {
  static std::wstring buffer;
  char path[4096] = {};
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string text(path, length > 0 ? static_cast<size_t>(length) : 0);
  text = text.substr(0, text.rfind('/') + 1);
  buffer = NativeToWide(text);
  return buffer.c_str();
}

// Outside Windows there is no version resource.
const wchar_t* ProductVersionText() { return L""; }

bool IsWindowsVersion4() { return false; }
bool IsWindows2000() { return false; }

}  // namespace tessaly
