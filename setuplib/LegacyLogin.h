// The older product's password: HKLM "SOFTWARE\MvParental\Option" value "lgon", ANSI text
// enciphered with Blowfish under a key built into both programs, in electronic codebook mode with
// each 8-byte block read as two little-endian halves (bytes 0-3 left, 4-7 right).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// Six ASCII characters, one of them a digit, and their terminating zero: the key schedule runs
// over all seven bytes.
inline constexpr std::array<uint8_t, 7> kLegacyLoginKey = {'Q', 'u', 'i', 'l', 'l', '7', '\0'};

// The ANSI text of an enciphered value: every whole block deciphered, the text ending at the
// first zero byte (or at the end of the whole blocks). A trailing piece shorter than a block
// cannot come from the encipherment and is not deciphered; a value without a whole block gives
// an empty text.
std::string DecipherLegacyLogin(std::span<const uint8_t> value);

// The value the older product stored for a password: the text with its terminating zero, padded
// with zeros to whole blocks, enciphered block by block.
std::vector<uint8_t> EncipherLegacyLogin(std::string_view password);

}  // namespace tessaly
