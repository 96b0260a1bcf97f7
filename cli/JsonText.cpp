#include "JsonText.h"

#include "TextConvert.h"

#include <cstdio>
#include <cwchar>

namespace tessaly {
namespace {

bool IsSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Control characters of C0, DEL and C1: a terminal may act on any of them.
bool IsControl(uint32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Walks the text as code points; an unpaired surrogate is passed on as it is.
template <typename OnCodePoint>
void ForEachCodePoint(const std::wstring& text, OnCodePoint&& onCodePoint) {
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = static_cast<uint32_t>(text[i]);
    if constexpr (sizeof(wchar_t) == 2) {
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
        const auto low = static_cast<uint32_t>(text[i + 1]);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          onCodePoint(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
          ++i;
          continue;
        }
      }
    }
    onCodePoint(c);
  }
}

}  // namespace

std::string JsonString(const std::wstring& text) {
  std::string out = "\"";
  ForEachCodePoint(text, [&out](uint32_t c) {
    switch (c) {
      case '"': out += "\\\""; return;
      case '\\': out += "\\\\"; return;
      case '\n': out += "\\n"; return;
      case '\r': out += "\\r"; return;
      case '\t': out += "\\t"; return;
      default: break;
    }
    if (c < 0x20 || IsSurrogate(c)) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      out += escaped;
    } else {
      AppendUtf8(out, c);
    }
  });
  out += '"';
  return out;
}

std::wstring TerminalText(const std::wstring& text) {
  bool plain = true;
  ForEachCodePoint(text, [&plain](uint32_t c) { plain = plain && !IsControl(c) && !IsSurrogate(c); });
  if (plain) return text;
  std::wstring out = L"'";
  ForEachCodePoint(text, [&out](uint32_t c) {
    wchar_t escaped[16];
    switch (c) {
      case '\n': out += L"\\n"; return;
      case '\r': out += L"\\r"; return;
      case '\t': out += L"\\t"; return;
      case 0x1B: out += L"\\e"; return;
      case '\\': out += L"\\\\"; return;
      case '\'': out += L"\\'"; return;
      default: break;
    }
    if (c >= 0xDC80 && c <= 0xDCFF && sizeof(wchar_t) == 4) {
      std::swprintf(escaped, 16, L"\\x%02x", static_cast<unsigned>(c - 0xDC00));  // a byte that is not UTF-8
    } else if (c < 0x20 || c == 0x7F) {
      std::swprintf(escaped, 16, L"\\x%02x", static_cast<unsigned>(c));
    } else if (IsControl(c) || IsSurrogate(c)) {
      std::swprintf(escaped, 16, L"\\u%04x", static_cast<unsigned>(c));
    } else {
      if (c >= 0x10000 && sizeof(wchar_t) == 2) {
        out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      } else {
        out += static_cast<wchar_t>(c);
      }
      return;
    }
    out += escaped;
  });
  out += L"'";
  return out;
}

}  // namespace tessaly
