#include "Sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

TEST(Sha256, KnownDigests) {
  struct Case {
    std::string input;
    const wchar_t* want;
  } cases[] = {
      {"", L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // 56 bytes: padding needs a second block
       L"248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(64, 'a'), L"ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {std::string(1000000, 'a'), L"cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DigestHex(Sha256::Of(c.input.data(), c.input.size())), c.want) << c.input.size() << " bytes";
  }
}

TEST(Sha256, PiecesGiveTheSameDigestAsTheWhole) {
  std::string data;
  for (int i = 0; i < 1000; ++i) data.push_back(static_cast<char>(i * 7));
  Sha256::Digest whole = Sha256::Of(data.data(), data.size());
  for (size_t piece : {1u, 3u, 63u, 64u, 65u, 200u}) {
    Sha256 hash;
    for (size_t at = 0; at < data.size(); at += piece) hash.Add(data.data() + at, std::min(piece, data.size() - at));
    EXPECT_EQ(hash.Finish(), whole) << "pieces of " << piece;
  }
}

TEST(Sha256, DigestTextComparison) {
  Sha256::Digest digest = Sha256::Of("abc", 3);
  EXPECT_TRUE(DigestMatches(L"BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD", digest));
  EXPECT_TRUE(DigestMatches(L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", digest));
  EXPECT_FALSE(DigestMatches(L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ae", digest));
  EXPECT_FALSE(DigestMatches(L"ba7816bf", digest));
  EXPECT_FALSE(DigestMatches(L"", digest));
}

}  // namespace
}  // namespace tessaly
