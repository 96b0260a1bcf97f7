// The finders' platform services on Windows: the system's own environment expansion, file test
// and profile (INI) API.
#include "IniFile.h"
#include "LongPath.h"
#include "P2pText.h"

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

std::vector<std::wstring> IniSectionKeys(const std::wstring& path, const std::wstring& section) {
  std::vector<wchar_t> buffer(kIniKeyListCapacity, L'\0');
  GetPrivateProfileStringW(section.c_str(), nullptr, L"", buffer.data(), static_cast<DWORD>(buffer.size()),
                           path.c_str());
  std::vector<std::wstring> keys;
  // A list of zero-terminated names ending in an empty one; the buffer always ends in zeros.
  for (size_t position = 0; position < buffer.size() && buffer[position] != L'\0';) {
    std::wstring name(buffer.data() + position);
    position += name.size() + 1;
    keys.push_back(std::move(name));
  }
  return keys;
}

std::wstring IniValue(const std::wstring& path, const std::wstring& section, const std::wstring& key) {
  std::vector<wchar_t> buffer(kIniValueCapacity, L'\0');
  GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(), static_cast<DWORD>(buffer.size()),
                           path.c_str());
  buffer.back() = L'\0';
  return std::wstring(buffer.data());
}

}  // namespace tessaly
