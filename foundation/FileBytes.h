// Whole-file reads and writes for the string tables (the configuration file in, the language
// document out). Paths are wide; on Windows they go to CreateFileW as they stand.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

// The file's bytes; nothing when it cannot be opened or read in full. Others may read and write
// the file meanwhile.
std::optional<std::string> ReadWholeFile(const std::wstring& path);
// Creates or truncates the file and writes bytes; true when all were written.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes);

}  // namespace tessaly
