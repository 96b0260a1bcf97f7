// Text files by wide path.
#pragma once

#include <string>

namespace tessaly {

// The text as UTF-16LE code units, no byte-order mark.
bool WriteUtf16LeFile(const std::wstring& path, const std::wstring& text);

}  // namespace tessaly
