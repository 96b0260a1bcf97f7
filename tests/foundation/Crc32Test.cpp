#include "Crc32.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

// The published check value of CRC-32, and a CRC continued over pieces of every split.
TEST(Crc32, CheckValueAndPieces) {
  const std::string text = "123456789";
  EXPECT_EQ(Crc32(text.data(), text.size()), 0xCBF43926u);
  EXPECT_EQ(Crc32(nullptr, 0), 0u);
  std::string longer;
  for (int i = 0; i < 1000; ++i) longer += static_cast<char>(i * 7 + 3);
  const uint32_t whole = Crc32(longer.data(), longer.size());
  for (size_t split : {0u, 1u, 7u, 8u, 9u, 500u, 999u, 1000u}) {
    EXPECT_EQ(Crc32(longer.data() + split, longer.size() - split, Crc32(longer.data(), split)), whole) << split;
  }
}

}  // namespace
}  // namespace tessaly
