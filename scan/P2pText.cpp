#include "P2pText.h"

#include "Paths.h"
#include "TextConvert.h"
#include "Utf16Text.h"

#include <algorithm>
#include <new>

namespace tessaly {
bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

std::wstring DecodeSettingsText(std::string_view bytes) {
  if (SniffByteOrderMark(bytes) == ByteOrderMark::Utf16Le) return Utf16LeBytesToWide(bytes.substr(2));
  return AnsiToWide(bytes);
}

void DropTrailingBackslash(std::wstring& text) {
  if (!text.empty() && text.back() == L'\\') text.pop_back();
}

std::vector<std::string> SplitAnsiLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

std::wstring LocalPath(std::wstring path) {
  if (kPathSeparator != L'\\') std::replace(path.begin(), path.end(), L'\\', kPathSeparator);
  return path;
}

std::wstring ProgramPath(const std::wstring& folder, std::wstring_view relative) {
  return folder + LocalPath(std::wstring(relative));
}

}  // namespace tessaly
