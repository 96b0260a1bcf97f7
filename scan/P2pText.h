// Small text helpers shared by the P2P client finders and their readers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

bool EqualsNoCase(std::wstring_view a, std::wstring_view b);
bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix);
bool StartsWith(std::wstring_view text, std::wstring_view prefix);
std::wstring ToLower(std::wstring_view text);

// UTF-16LE bytes (an odd last byte is ignored) as wide text; surrogate pairs are joined where
// wchar_t holds 32 bits.
std::wstring Utf16LeToWide(std::string_view bytes);

// Settings-file text: UTF-16LE after the bytes FF FE, otherwise the ANSI code page.
std::wstring DecodeSettingsText(std::string_view bytes);

// Removes one trailing backslash.
void DropTrailingBackslash(std::wstring& text);

// Splits at LF, dropping a CR before it (the files come from Windows, where text-mode reads drop
// it too).
std::vector<std::string> SplitAnsiLines(std::string_view text);

// The whole file, or nothing when it cannot be opened or read or is larger than limit.
std::optional<std::string> ReadWholeFile(const std::wstring& path, uint64_t limit);

// A path written with backslashes, in this platform's separators.
std::wstring LocalPath(std::wstring path);
// The program folder (ending in its separator) followed by a relative path written with
// backslashes.
std::wstring ProgramPath(const std::wstring& folder, std::wstring_view relative);

// Environment variables of the form %NAME% replaced by their values; unknown ones stay as written.
std::wstring ExpandEnvironment(const std::wstring& text);
bool PathExists(const std::wstring& path);

}  // namespace tessaly
