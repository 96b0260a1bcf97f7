#include "Utf16Text.h"

#include <cstdint>

namespace tessaly {

ByteOrderMark SniffByteOrderMark(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return ByteOrderMark::Utf8;
  if (bytes.substr(0, 2) == "\xFF\xFE") return ByteOrderMark::Utf16Le;
  if (bytes.substr(0, 2) == "\xFE\xFF") return ByteOrderMark::Utf16Be;
  return ByteOrderMark::None;
}

size_t ByteOrderMarkLength(ByteOrderMark mark) {
  switch (mark) {
    case ByteOrderMark::Utf8: return 3;
    case ByteOrderMark::Utf16Le:
    case ByteOrderMark::Utf16Be: return 2;
    case ByteOrderMark::None: break;
  }
  return 0;
}

std::wstring Utf16LeBytesToWide(std::string_view bytes) {
  const size_t units = bytes.size() / 2;
  std::wstring out;
  out.reserve(units);
  auto unit = [&](size_t i) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[2 * i])) |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[2 * i + 1])) << 8;
  };
  for (size_t i = 0; i < units; ++i) {
    uint32_t c = unit(i);
    if constexpr (sizeof(wchar_t) > 2) {
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units) {
        uint32_t low = unit(i + 1);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          out.push_back(static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00)));
          ++i;
          continue;
        }
      }
    }
    out.push_back(static_cast<wchar_t>(c));
  }
  return out;
}

std::string WideToUtf16Le(std::wstring_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  auto put = [&](uint32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>((u >> 8) & 0xFF));
  };
  for (wchar_t wc : text) {
    uint32_t c = static_cast<uint32_t>(wc);
    if (c >= 0x10000 && c <= 0x10FFFF) {
      c -= 0x10000;
      put(0xD800 + (c >> 10));
      put(0xDC00 + (c & 0x3FF));
    } else if (c > 0x10FFFF) {
      put(0xFFFD);
    } else {
      put(c);
    }
  }
  return out;
}

}  // namespace tessaly

namespace tessaly {

std::wstring Utf16LeDocument(std::string_view bytes) {
  std::string padded(bytes);
  if (padded.size() % 2) padded.push_back('\0');
  std::wstring text = Utf16LeBytesToWide(padded);
  size_t zero = text.find(L'\0');
  if (zero != std::wstring::npos) text.resize(zero);
  return text;
}

}  // namespace tessaly
