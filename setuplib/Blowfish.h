// The Blowfish block cipher (Schneier, 1993): 16 rounds, an 18-word P-array and four 256-word
// S-boxes that start as the hexadecimal digits of pi, the standard key schedule. Works on a block
// as its two 32-bit halves; how bytes make halves is the caller's choice.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tessaly {

class Blowfish {
 public:
  // Runs the key schedule over the key bytes (1 to 56 of them), taken cyclically, four at a time
  // as big-endian words. An empty key leaves the pi tables as they are.
  explicit Blowfish(std::span<const uint8_t> key);

  void Encipher(uint32_t& left, uint32_t& right) const;
  void Decipher(uint32_t& left, uint32_t& right) const;

 private:
  uint32_t F(uint32_t x) const;

  std::array<uint32_t, 18> p_;
  std::array<std::array<uint32_t, 256>, 4> s_;
};

}  // namespace tessaly
