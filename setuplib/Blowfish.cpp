#include "Blowfish.h"

#include <utility>

namespace tessaly {
namespace {

constexpr uint32_t kPiWords[18 + 4 * 256] = {
#include "BlowfishPi.inc"
};

constexpr int kRounds = 16;

}  // namespace

Blowfish::Blowfish(std::span<const uint8_t> key) {
  for (size_t i = 0; i < p_.size(); ++i) p_[i] = kPiWords[i];
  for (size_t box = 0; box < s_.size(); ++box) {
    for (size_t i = 0; i < 256; ++i) s_[box][i] = kPiWords[p_.size() + box * 256 + i];
  }
  if (!key.empty()) {
    size_t next = 0;
    for (uint32_t& word : p_) {
      uint32_t keyWord = 0;
      for (int i = 0; i < 4; ++i) {
        keyWord = (keyWord << 8) | key[next];
        next = (next + 1) % key.size();
      }
      word ^= keyWord;
    }
  }
  // The tables are replaced, pair by pair, by the encipherment of a block that starts as zeros
  // and chains through; this runs for an empty key too, as the published schedule does.
  uint32_t left = 0;
  uint32_t right = 0;
  for (size_t i = 0; i < p_.size(); i += 2) {
    Encipher(left, right);
    p_[i] = left;
    p_[i + 1] = right;
  }
  for (auto& box : s_) {
    for (size_t i = 0; i < box.size(); i += 2) {
      Encipher(left, right);
      box[i] = left;
      box[i + 1] = right;
    }
  }
}

uint32_t Blowfish::F(uint32_t x) const {
  const uint32_t a = s_[0][x >> 24];
  const uint32_t b = s_[1][(x >> 16) & 0xFF];
  const uint32_t c = s_[2][(x >> 8) & 0xFF];
  const uint32_t d = s_[3][x & 0xFF];
  return ((a + b) ^ c) + d;
}

void Blowfish::Encipher(uint32_t& left, uint32_t& right) const {
  uint32_t l = left;
  uint32_t r = right;
  for (int i = 0; i < kRounds; ++i) {
    l ^= p_[i];
    r ^= F(l);
    std::swap(l, r);
  }
  std::swap(l, r);
  r ^= p_[kRounds];
  l ^= p_[kRounds + 1];
  left = l;
  right = r;
}

void Blowfish::Decipher(uint32_t& left, uint32_t& right) const {
  uint32_t l = left;
  uint32_t r = right;
  for (int i = kRounds + 1; i > 1; --i) {
    l ^= p_[i];
    r ^= F(l);
    std::swap(l, r);
  }
  std::swap(l, r);
  r ^= p_[1];
  l ^= p_[0];
  left = l;
  right = r;
}

}  // namespace tessaly
