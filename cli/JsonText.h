// Just enough JSON writing for the scanner's result file.
#pragma once

#include <string>

namespace tessaly {

// A JSON string literal (with quotes) for wide text, in UTF-8. A lone surrogate (on POSIX a byte
// of a name that is not valid UTF-8, kept as U+DC80 + byte; on Windows an unpaired UTF-16 unit)
// is written as its \uXXXX escape, so that the exact name can be recovered.
std::string JsonString(const std::wstring& text);

// The text as it may be shown on a terminal: unchanged unless it holds control characters or
// bytes that are not valid UTF-8; then in single quotes, with those as visible escapes (\n, \t,
// \r, \e, \xHH, \uHHHH) and \ and ' escaped, so a file name cannot drive the terminal.
std::wstring TerminalText(const std::wstring& text);

}  // namespace tessaly
