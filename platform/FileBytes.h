// Whole-file reads and writes by wide path: the configuration and language files, the settings
// files of other programs, the scan log and the JSON results.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

// The file's bytes; nothing when it cannot be opened or read in full, or is larger than limit.
// Others may read and write the file meanwhile.
std::optional<std::string> ReadWholeFile(const std::wstring& path,
                                         uint64_t limit = std::numeric_limits<uint64_t>::max());
// Creates or truncates the file and writes bytes; true when all were written.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes);

}  // namespace tessaly
