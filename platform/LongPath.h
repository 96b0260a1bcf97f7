// Win32 only: paths of any length through the extended-length prefix.
#pragma once

#include <string>

namespace tessaly {

// "C:\x" -> "\\?\C:\x", "\\srv\share\x" -> "\\?\UNC\srv\share\x" when the path is near or past
// MAX_PATH; other paths are returned as they are.
std::wstring ExtendedLengthPath(const std::wstring& path);

}  // namespace tessaly
