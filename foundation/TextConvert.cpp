#include "TextConvert.h"

#include <algorithm>
#include <cstdint>

namespace tessaly {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(std::wstring& out, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

// Decodes one UTF-8 sequence at text[i]; returns its length, 0 when it is not valid UTF-8.
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& cp) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  uint8_t lead = byte(i);
  size_t length;
  char32_t min;
  if (lead < 0x80) { cp = lead; return 1; }
  if ((lead & 0xE0) == 0xC0) { length = 2; cp = lead & 0x1F; min = 0x80; }
  else if ((lead & 0xF0) == 0xE0) { length = 3; cp = lead & 0x0F; min = 0x800; }
  else if ((lead & 0xF8) == 0xF0) { length = 4; cp = lead & 0x07; min = 0x10000; }
  else return 0;
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

// Reads one code point from wide text, joining UTF-16 surrogate pairs.
char32_t NextCodePoint(std::wstring_view text, size_t& i) {
  char32_t c = static_cast<char32_t>(text[i++]);
  if constexpr (sizeof(wchar_t) == 2) {
    if (c >= 0xD800 && c <= 0xDBFF && i < text.size()) {
      char32_t low = static_cast<char32_t>(text[i]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        ++i;
        return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      }
    }
  }
  return c;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t cp;
    size_t length = DecodeUtf8(text, i, cp);
    if (length == 0) { AppendCodePoint(out, kReplacement); ++i; continue; }
    AppendCodePoint(out, cp);
    i += length;
  }
  return out;
}

bool IsWellFormedUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    if (static_cast<uint8_t>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    char32_t cp;
    const size_t length = DecodeUtf8(bytes, i, cp);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<uint8_t>(c) < 0x80; });
}

std::wstring UnflaggedNameToWide(std::string_view bytes) {
  if (IsAscii(bytes)) return std::wstring(bytes.begin(), bytes.end());
  return IsWellFormedUtf8(bytes) ? Utf8ToWide(bytes) : AnsiToWide(bytes);
}

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t cp = NextCodePoint(text, i);
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacement;
    AppendUtf8(out, cp);
  }
  return out;
}

std::wstring NativeToWide(std::string_view bytes) {
  // File names are mostly ASCII: widen that prefix in one step.
  size_t i = 0;
  while (i < bytes.size() && static_cast<uint8_t>(bytes[i]) < 0x80) ++i;
  std::wstring out(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(i));
  if (i == bytes.size()) return out;
  out.reserve(bytes.size());
  while (i < bytes.size()) {
    char32_t cp;
    size_t length = DecodeUtf8(bytes, i, cp);
    if (length == 0) {
      out.push_back(static_cast<wchar_t>(0xDC00 + static_cast<uint8_t>(bytes[i])));
      ++i;
      continue;
    }
    AppendCodePoint(out, cp);
    i += length;
  }
  return out;
}

std::string WideToNative(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && static_cast<uint32_t>(text[i]) < 0x80) ++i;
  std::string out(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(i));
  if (i == text.size()) return out;
  out.reserve(text.size());
  while (i < text.size()) {
    char32_t cp = NextCodePoint(text, i);
    if (cp >= 0xDC80 && cp <= 0xDCFF) {
      out.push_back(static_cast<char>(cp - 0xDC00));  // an escaped raw byte
    } else if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, cp);
    }
  }
  return out;
}

int32_t ParseDecimal(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > int64_t{INT32_MAX} + 1) value = int64_t{INT32_MAX} + 1;  // saturate, keep reading
  }
  if (negative) value = -value;
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace tessaly
