#include "ProfileApi.h"

#include <windows.h>

namespace tessaly {

std::optional<std::vector<std::wstring>> SystemIniSectionKeys(const std::wstring& path, const std::wstring& section,
                                                              size_t capacity) {
  std::vector<wchar_t> buffer(capacity, L'\0');
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

std::optional<std::wstring> SystemIniValue(const std::wstring& path, const std::wstring& section,
                                           const std::wstring& key, size_t capacity) {
  std::vector<wchar_t> buffer(capacity, L'\0');
  GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(), static_cast<DWORD>(buffer.size()),
                           path.c_str());
  buffer.back() = L'\0';
  return std::wstring(buffer.data());
}

}  // namespace tessaly
