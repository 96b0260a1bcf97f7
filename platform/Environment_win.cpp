// The system's own environment expansion and file test.
#include "Environment.h"

#include <windows.h>
#include <shlwapi.h>

namespace tessaly {

std::wstring ExpandEnvironment(const std::wstring& text) {
  DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  for (int attempt = 0; attempt < 3 && needed > 0; ++attempt) {
    std::wstring out(needed, L'\0');
    DWORD written = ExpandEnvironmentStringsW(text.c_str(), out.data(), needed);
    if (written == 0) break;
    if (written <= needed) {
      out.resize(wcslen(out.c_str()));
      return out;
    }
    needed = written;
  }
  return text;
}

bool PathExists(const std::wstring& path) { return PathFileExistsW(path.c_str()) != FALSE; }

}  // namespace tessaly
