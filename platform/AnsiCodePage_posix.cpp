// Outside Windows the "ANSI code page" is Windows-1252, the code page of the files Tessaly reads.
#include "AnsiCodePage.h"

#include <cstdint>

namespace tessaly {
namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five unassigned bytes.
constexpr char16_t kHigh1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

std::wstring AnsiToWide(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    auto b = static_cast<uint8_t>(c);
    if (b >= 0x80 && b < 0xA0) {
      out.push_back(kHigh1252[b - 0x80] ? static_cast<wchar_t>(kHigh1252[b - 0x80]) : static_cast<wchar_t>(b));
    } else {
      out.push_back(static_cast<wchar_t>(b));
    }
  }
  return out;
}

std::string WideToAnsi(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t w : text) {
    auto cp = static_cast<uint32_t>(w);
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    char mapped = '?';
    for (int k = 0; k < 32; ++k) {
      if (kHigh1252[k] != 0 && kHigh1252[k] == cp) mapped = static_cast<char>(0x80 + k);
    }
    out.push_back(mapped);
  }
  return out;
}

}  // namespace tessaly
