// The system ANSI code page (CP_ACP on Windows; Windows-1252 elsewhere). Characters without a
// mapping become '?'.
#pragma once

#include <string>
#include <string_view>

namespace tessaly {

std::wstring AnsiToWide(std::string_view bytes);
std::string WideToAnsi(std::wstring_view text);

}  // namespace tessaly
