// The system's reader of INI files (the profile API), where the system has one. Elsewhere the
// answers are empty optionals and callers read the file with their own reader.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tessaly {

// The key names of a section, read through a list buffer of `capacity` characters.
std::optional<std::vector<std::wstring>> SystemIniSectionKeys(const std::wstring& path, const std::wstring& section,
                                                              size_t capacity);
// The value of a key, read through a buffer of `capacity` characters.
std::optional<std::wstring> SystemIniValue(const std::wstring& path, const std::wstring& section,
                                           const std::wstring& key, size_t capacity);

}  // namespace tessaly
