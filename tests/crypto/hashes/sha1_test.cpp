// SHA-1 against the examples of FIPS 180-2 (appendix A) and hashlib.

#include "crypto/hashes/sha1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/hash_checks.h"

namespace velsor {
namespace {

struct Case {
  std::string name;
  std::string message;
  std::string digest;
};

TEST(Sha1, MatchesPublishedDigests) {
  const std::vector<Case> cases = {
      // FIPS 180-2, A.1, A.2 and A.3 (one block, two blocks, a million "a").
      {"abc", "abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {"two-block", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
      {"million a", std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
      // hashlib: the empty message and lengths around the 56-byte limit of the one-block padding.
      {"empty", "", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {"55 a", std::string(55, 'a'), "c1c8bbdc22796e28c0e15163d20899b65621d65a"},
      {"56 a", std::string(56, 'a'), "c2db330f6083854c99d4b5bfb6e8f29f201be699"},
      {"63 a", std::string(63, 'a'), "03f09f5b158a7a8cdad920bddc29b81c18a551f5"},
      {"64 a", std::string(64, 'a'), "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
  };
  Sha1 hash;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(test::DigestHex(hash, c.message), c.digest);
  }
}

TEST(Sha1, AnySplitGivesTheSameDigest) {
  Sha1 hash;
  test::ExpectSplitsAgree(hash);
}

TEST(Sha1, UseAfterFinalRaises) {
  Sha1 hash;
  test::ExpectUseAfterFinalRaises(hash);
}

TEST(Sha1, IdentityAndSelfTest) {
  Sha1 sha1;
  const Hash& hash = sha1;
  EXPECT_EQ(hash.Id(), 2);
  EXPECT_EQ(hash.Algorithm(), u"SHA1");
  EXPECT_EQ(hash.HashSize(), 160);
  EXPECT_TRUE(Sha1::SelfTest());
}

}  // namespace
}  // namespace velsor
