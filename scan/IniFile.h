// INI-style settings files of other programs, read the way the Windows profile API reads them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// The reader's buffers, in characters: the key list and one value (terminators included).
inline constexpr size_t kIniKeyListCapacity = 40960 / sizeof(uint16_t);
inline constexpr size_t kIniValueCapacity = 4096 / sizeof(uint16_t);

// The system's profile API answers where there is one, the portable reader below elsewhere.
// The key names of a section (lines with "=" only, comment lines skipped), in file order, within
// the key-list buffer. Empty when the file or section is missing.
std::vector<std::wstring> IniSectionKeys(const std::wstring& path, const std::wstring& section);
// The value of a key, quotes stripped, at most kIniValueCapacity - 1 characters; empty when absent.
std::wstring IniValue(const std::wstring& path, const std::wstring& section, const std::wstring& key);

// The same, computed from the file's bytes by portable code (on Windows the profile API answers
// and tests compare the two).
std::vector<std::wstring> PortableIniSectionKeys(std::string_view fileBytes, const std::wstring& section);
std::wstring PortableIniValue(std::string_view fileBytes, const std::wstring& section, const std::wstring& key);

}  // namespace tessaly
