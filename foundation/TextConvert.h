// Conversions between wide text and byte encodings.
#pragma once

#include "AnsiCodePage.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaly {

// UTF-8 <-> wide. Invalid input becomes U+FFFD.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// Whether every byte is below 0x80.
bool IsAscii(std::string_view bytes);

// Whether the bytes are well-formed UTF-8: no overlong forms, surrogates or values past U+10FFFF.
bool IsWellFormedUtf8(std::string_view bytes);

// A name stored in an archive without a flag for its encoding: UTF-8 when it is well-formed and
// not plain ASCII (as current archivers on Linux and macOS write it), else the ANSI code page.
std::wstring UnflaggedNameToWide(std::string_view bytes);

// POSIX file names: UTF-8 where it is valid; every byte that is not part of valid UTF-8 becomes
// the lone surrogate U+DC80 + byte, so that any name survives the round trip and its path opens.
std::wstring NativeToWide(std::string_view bytes);
std::string WideToNative(std::wstring_view text);

// A decimal integer as _wtoi reads it: leading blanks, a sign, digits up to the first other
// character; 0 when there are none; saturated at the 32-bit range.
int32_t ParseDecimal(std::wstring_view text);

}  // namespace tessaly
