// Whole-file reads and writes by wide path.
#pragma once

#include <optional>
#include <string>

namespace tessaly {

// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::wstring& path);
// Creates or truncates the file and writes the bytes; false when that fails.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The text as UTF-16LE code units, no byte-order mark.
bool WriteUtf16LeFile(const std::wstring& path, const std::wstring& text);

}  // namespace tessaly
