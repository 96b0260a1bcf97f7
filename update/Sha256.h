// SHA-256 (FIPS 180-4), for checking downloaded update files against the manifest's digest.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessaly {

class Sha256 {
 public:
  using Digest = std::array<uint8_t, 32>;

  void Add(const void* data, size_t size);
  Digest Finish();  // the object is spent afterwards

  static Digest Of(const void* data, size_t size);

 private:
  void Block(const uint8_t* block);

  std::array<uint32_t, 8> state_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                    0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::array<uint8_t, 64> pending_{};
  size_t pendingSize_ = 0;
  uint64_t totalBytes_ = 0;
};

std::wstring DigestHex(const Sha256::Digest& digest);  // lower case
// True when hex (either case, 64 digits) spells digest.
bool DigestMatches(std::wstring_view hex, const Sha256::Digest& digest);

}  // namespace tessaly
