// The language XML that Tessres.dll carries as resource "XMLLanguage" id 1.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tessaly {

inline constexpr const wchar_t* kLanguageResourceType = L"XMLLanguage";
inline constexpr int kLanguageResourceId = 1;

// The resource's UTF-16 text as stored (byte-order mark included, trailing zeros dropped), ready
// for LoadLanguageXMLData; nullopt when the module has no such resource or it cannot be read.
std::optional<std::wstring> ReadLanguageResource(HMODULE module);

}  // namespace tessaly
