// Blowfish against the published test vectors (Eric Young's table of 8-byte keys, and the
// variable-length keys over one block), and the older product's block layout.
#include "Blowfish.h"
#include "LegacyLogin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tessaly {
namespace {

std::vector<uint8_t> Hex(const char* text) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; text[i] && text[i + 1]; i += 2) bytes.push_back(static_cast<uint8_t>(std::stoul(std::string(text + i, 2), nullptr, 16)));
  return bytes;
}

// The published vectors write a block as its left half then its right half, big-endian.
uint64_t Block(const char* text) { return std::stoull(text, nullptr, 16); }

struct Vector {
  const char* key;
  const char* plain;
  const char* cipher;
};

void ExpectVector(const Vector& v) {
  const Blowfish cipher(Hex(v.key));
  const uint64_t plain = Block(v.plain);
  uint32_t left = static_cast<uint32_t>(plain >> 32), right = static_cast<uint32_t>(plain);
  cipher.Encipher(left, right);
  EXPECT_EQ((static_cast<uint64_t>(left) << 32) | right, Block(v.cipher)) << "key " << v.key << " plain " << v.plain;
  cipher.Decipher(left, right);
  EXPECT_EQ((static_cast<uint64_t>(left) << 32) | right, plain) << "back, key " << v.key;
}

TEST(Blowfish, EightByteKeyVectors) {
  const Vector vectors[] = {
      {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
      {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
      {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
      {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
      {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
      {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
      {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
      {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
      {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
      {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
  };
  for (const Vector& v : vectors) ExpectVector(v);
}

TEST(Blowfish, ShortKeysAreTakenCyclically) {
  // Keys of 1 and 2 bytes from the variable-key table (plain text FEDCBA9876543210).
  const Vector vectors[] = {
      {"F0", "FEDCBA9876543210", "F9AD597C49DB005E"},
      {"F0E1", "FEDCBA9876543210", "E91D21C1D961A6D6"},
  };
  for (const Vector& v : vectors) ExpectVector(v);
  // A key repeated to 8 bytes schedules as the key itself.
  uint32_t l1 = 1, r1 = 2, l2 = 1, r2 = 2;
  Blowfish(Hex("A1B2C3D4")).Encipher(l1, r1);
  Blowfish(Hex("A1B2C3D4A1B2C3D4")).Encipher(l2, r2);
  EXPECT_EQ(l1, l2);
  EXPECT_EQ(r1, r2);
}

// The older store reads each block as two little-endian halves: bytes 0-3 left, 4-7 right.
TEST(LegacyLogin, BlocksAreLittleEndianHalvesUnderTheBuiltInKey) {
  const Blowfish cipher(kLegacyLoginKey);
  const uint8_t plain[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 0};
  uint32_t left = 0x64636261, right = 0x00676665;  // "abcd", "efg\0" read little-endian
  cipher.Encipher(left, right);
  std::vector<uint8_t> value;
  for (uint32_t half : {left, right}) {
    for (int i = 0; i < 4; ++i) value.push_back(static_cast<uint8_t>(half >> (8 * i)));
  }
  EXPECT_EQ(DecipherLegacyLogin(value), "abcdefg");
  EXPECT_EQ(EncipherLegacyLogin(reinterpret_cast<const char*>(plain)), value);
}

TEST(LegacyLogin, TextsOfEveryLengthComeBack) {
  struct {
    const char* name;
    std::string password;
    size_t valueBytes;
  } cases[] = {
      {"empty", "", 8},
      {"seven: the zero fills the block", "Secret7", 8},
      {"eight: the zero needs a block of its own", "Secret78", 16},
      {"several blocks", "a rather longer Pass phrase 2009", 40},
      {"ANSI letters", "Gr\xFC\xDF" "e", 8},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> value = EncipherLegacyLogin(c.password);
    EXPECT_EQ(value.size(), c.valueBytes) << c.name;
    EXPECT_EQ(DecipherLegacyLogin(value), c.password) << c.name;
  }
}

TEST(LegacyLogin, OddSizesNeverReadBeyondTheValue) {
  std::vector<uint8_t> value = EncipherLegacyLogin("Secret78");  // 16 bytes: text, then its zero
  // A trailing piece shorter than a block is left alone: the whole block before it still reads.
  std::vector<uint8_t> longer = value;
  longer.insert(longer.end(), {1, 2, 3});
  EXPECT_EQ(DecipherLegacyLogin(longer), "Secret78");
  // Only part of the first block: nothing to decipher.
  EXPECT_EQ(DecipherLegacyLogin(std::vector<uint8_t>(value.begin(), value.begin() + 5)), "");
  EXPECT_EQ(DecipherLegacyLogin({}), "");
}

}  // namespace
}  // namespace tessaly
