// UTF-16 little-endian bytes, the encoding of the language resource and the configuration file,
// to and from wide text. Where wchar_t is 16 bits this is a plain copy; elsewhere surrogate pairs
// are joined and split, and a lone surrogate is kept as it stands so that every document
// survives a load and a write unchanged.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessaly {

// The byte-order mark a text file begins with.
enum class ByteOrderMark { None, Utf8, Utf16Le, Utf16Be };
ByteOrderMark SniffByteOrderMark(std::string_view bytes);
// Its length in bytes (0 for None).
size_t ByteOrderMarkLength(ByteOrderMark mark);

// Converts floor(bytes.size() / 2) code units; an odd last byte is ignored.
std::wstring Utf16LeBytesToWide(std::string_view bytes);
std::string WideToUtf16Le(std::wstring_view text);

}  // namespace tessaly

namespace tessaly {

// A document stored as UTF-16LE bytes: the text up to its first zero character (the whole text
// when there is none). An odd last byte is read as if a zero byte followed it.
std::wstring Utf16LeDocument(std::string_view bytes);

}  // namespace tessaly
