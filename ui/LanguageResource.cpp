#include "LanguageResource.h"

#include <cstring>

namespace tessaly {

std::optional<std::wstring> ReadLanguageResource(HMODULE module) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kLanguageResourceId), kLanguageResourceType);
  if (!found) return std::nullopt;
  const DWORD bytes = SizeofResource(module, found);
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  // Resource data is not guaranteed to be aligned for wchar_t: copy bytewise.
  std::wstring text(bytes / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), data, text.size() * sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

}  // namespace tessaly
