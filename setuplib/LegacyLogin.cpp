#include "LegacyLogin.h"

#include "Blowfish.h"

namespace tessaly {
namespace {

constexpr size_t kBlockBytes = 8;

uint32_t ReadLittleEndian(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

void WriteLittleEndian(uint32_t word, uint8_t* bytes) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(word >> (8 * i));
}

const Blowfish& LegacyCipher() {
  static const Blowfish cipher(kLegacyLoginKey);
  return cipher;
}

}  // namespace

std::string DecipherLegacyLogin(std::span<const uint8_t> value) {
  std::vector<uint8_t> plain(value.begin(), value.begin() + (value.size() / kBlockBytes) * kBlockBytes);
  for (size_t offset = 0; offset < plain.size(); offset += kBlockBytes) {
    uint32_t left = ReadLittleEndian(&plain[offset]);
    uint32_t right = ReadLittleEndian(&plain[offset + 4]);
    LegacyCipher().Decipher(left, right);
    WriteLittleEndian(left, &plain[offset]);
    WriteLittleEndian(right, &plain[offset + 4]);
  }
  std::string text(plain.begin(), plain.end());
  return text.substr(0, text.find('\0'));
}

std::vector<uint8_t> EncipherLegacyLogin(std::string_view password) {
  std::vector<uint8_t> bytes(password.begin(), password.end());
  bytes.push_back(0);
  bytes.resize((bytes.size() + kBlockBytes - 1) / kBlockBytes * kBlockBytes, 0);
  for (size_t offset = 0; offset < bytes.size(); offset += kBlockBytes) {
    uint32_t left = ReadLittleEndian(&bytes[offset]);
    uint32_t right = ReadLittleEndian(&bytes[offset + 4]);
    LegacyCipher().Encipher(left, right);
    WriteLittleEndian(left, &bytes[offset]);
    WriteLittleEndian(right, &bytes[offset + 4]);
  }
  return bytes;
}

}  // namespace tessaly
