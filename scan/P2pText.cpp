#include "P2pText.h"

#include "FileHandle.h"
#include "Paths.h"
#include "TextConvert.h"

#include <algorithm>
#include <cwctype>
#include <new>

namespace tessaly {
namespace {

wchar_t Lower(wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))); }

}  // namespace

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

std::wstring ToLower(std::wstring_view text) {
  std::wstring lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
  return lower;
}

std::wstring Utf16LeToWide(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<uint16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8);
    if constexpr (sizeof(wchar_t) == 4) {
      if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
        const auto low =
            static_cast<uint16_t>(static_cast<uint8_t>(bytes[i + 2]) | static_cast<uint8_t>(bytes[i + 3]) << 8);
        if (low >= 0xDC00 && low < 0xE000) {
          out.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
          i += 2;
          continue;
        }
      }
    }
    out.push_back(static_cast<wchar_t>(unit));
  }
  return out;
}

std::wstring DecodeSettingsText(std::string_view bytes) {
  if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF && static_cast<uint8_t>(bytes[1]) == 0xFE) {
    return Utf16LeToWide(bytes.substr(2));
  }
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

std::optional<std::string> ReadWholeFile(const std::wstring& path, uint64_t limit) {
  FileHandle file = FileHandle::OpenForRead(path);
  if (!file.IsOpen()) return {};
  const int64_t size = file.Size();
  if (size < 0 || static_cast<uint64_t>(size) > limit) return {};
  try {
    std::string content(static_cast<size_t>(size), '\0');
    if (file.Read(content.data(), content.size()) != content.size()) return {};
    return content;
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::wstring LocalPath(std::wstring path) {
  if (kPathSeparator != L'\\') std::replace(path.begin(), path.end(), L'\\', kPathSeparator);
  return path;
}

std::wstring ProgramPath(const std::wstring& folder, std::wstring_view relative) {
  return folder + LocalPath(std::wstring(relative));
}

}  // namespace tessaly
