// MD4 and MD5 against the test suites of RFC 1320 and RFC 1321 (appendix A.5).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypto/hashes/md4.h"
#include "crypto/hashes/md5.h"
#include "support/hash_checks.h"

namespace velsor {
namespace {

struct Case {
  std::string message;
  std::string md4;
  std::string md5;
};

const std::vector<Case> kRfcSuite = {
    {"", "31d6cfe0d16ae931b73c59d7e0c089c0", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "bde52cb31de33e46245e05fbdbd6fb24", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "a448017aaf21d8525fc10ae87aa6729d", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "d9130a8164549fe818874806e1c7014b", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "d79e1c308aa5bbcdeea8ed63df412da9", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "043f8582f241db351ce627e153e7f0e4",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "e33b4ddc9c38f2199c3e7b164fcc0536", "57edf4a22be3c955ac49da2e2107b67a"},
};

TEST(Md4, MatchesRfc1320Suite) {
  Md4 hash;
  for (const auto& c : kRfcSuite) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(test::DigestHex(hash, c.message), c.md4);
  }
}

TEST(Md5, MatchesRfc1321Suite) {
  Md5 hash;
  for (const auto& c : kRfcSuite) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(test::DigestHex(hash, c.message), c.md5);
  }
}

TEST(Md4And5, AnySplitGivesTheSameDigest) {
  Md4 md4;
  Md5 md5;
  test::ExpectSplitsAgree(md4);
  test::ExpectSplitsAgree(md5);
}

TEST(Md4And5, PaddingBoundaries) {
  // Lengths around the 56-byte limit of the one-block padding; pycryptodome (MD4) and hashlib (MD5).
  struct Boundary {
    std::size_t length;
    std::string md4;
    std::string md5;
  };
  const std::vector<Boundary> cases = {
      {55, "c889c81dd86c4d2e025778944ea02881", "ef1772b6dff9a122358552954ad0df65"},
      {56, "d5f9a9e9257077a5f08b0b92f348b0ad", "3b0c8ac703f828b04c6c197006d17218"},
      {63, "7ea3da77432d44c323671097d1348fc8", "b06521f39153d618550606be297466d5"},
      {64, "52f5076fabd22680234a3fa9f9dc5732", "014842d480b571495a4a0363793f7367"},
  };
  Md4 md4;
  Md5 md5;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    const std::string message(c.length, 'a');
    EXPECT_EQ(test::DigestHex(md4, message), c.md4);
    EXPECT_EQ(test::DigestHex(md5, message), c.md5);
  }
}

TEST(Md4And5, UseAfterFinalRaises) {
  Md5 hash;
  test::ExpectUseAfterFinalRaises(hash);
  Md4 md4;
  test::ExpectUseAfterFinalRaises(md4);
}

TEST(Md4And5, SelfTestsPass) {
  EXPECT_TRUE(Md4::SelfTest());
  EXPECT_TRUE(Md5::SelfTest());
}

}  // namespace
}  // namespace velsor
