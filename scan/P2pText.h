// Small text helpers shared by the P2P client finders and their readers.
#pragma once

#include "CaseFold.h"
#include "Environment.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

bool StartsWith(std::wstring_view text, std::wstring_view prefix);

// Settings-file text: UTF-16LE after the bytes FF FE, otherwise the ANSI code page.
std::wstring DecodeSettingsText(std::string_view bytes);

// Removes one trailing backslash.
void DropTrailingBackslash(std::wstring& text);

// Splits at LF, dropping a CR before it (the files come from Windows, where text-mode reads drop
// it too).
std::vector<std::string> SplitAnsiLines(std::string_view text);

// A path written with backslashes, in this platform's separators.
std::wstring LocalPath(std::wstring path);
// The program folder (ending in its separator) followed by a relative path written with
// backslashes.
std::wstring ProgramPath(const std::wstring& folder, std::wstring_view relative);


}  // namespace tessaly
