// Comparison without regard to case, as the C library's towlower sees it. ASCII letters are lowered
// inline: file names and extensions are compared by the million, and nearly all are ASCII.
#pragma once

#include <algorithm>
#include <cwctype>
#include <string>
#include <string_view>

namespace tessaly {

inline wchar_t LowerChar(wchar_t c) {
  if (c < 0x80) return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
  return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

inline std::wstring ToLower(std::wstring_view text) {
  std::wstring lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), LowerChar);
  return lower;
}

inline bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return x == y || LowerChar(x) == LowerChar(y);
         });
}

inline bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace tessaly
