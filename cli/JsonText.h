// Just enough JSON writing for the scanner's result file.
#pragma once

#include <string>

namespace tessaly {

// A JSON string literal (with quotes) for wide text, in UTF-8.
std::string JsonString(const std::wstring& text);

}  // namespace tessaly
