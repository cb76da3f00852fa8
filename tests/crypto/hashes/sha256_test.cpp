// SHA-256 against the examples of FIPS 180-2 (appendix B) and hashlib.

#include "crypto/hashes/sha256.h"

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

TEST(Sha256, MatchesPublishedDigests) {
  const std::vector<Case> cases = {
      // FIPS 180-2, B.1, B.2 and B.3 (one block, two blocks, a million "a").
      {"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"two-block", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"million a", std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
      // hashlib: the empty message and lengths around the 56-byte limit of the one-block padding.
      {"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"55 a", std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {"56 a", std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {"63 a", std::string(63, 'a'), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
      {"64 a", std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
  };
  Sha256 hash;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(test::DigestHex(hash, c.message), c.digest);
  }
}

TEST(Sha256, AnySplitGivesTheSameDigest) {
  Sha256 hash;
  test::ExpectSplitsAgree(hash);
}

TEST(Sha256, UseAfterFinalRaises) {
  Sha256 hash;
  test::ExpectUseAfterFinalRaises(hash);
}

TEST(Sha256, IdentityAndSelfTest) {
  Sha256 sha256;
  const Hash& hash = sha256;
  EXPECT_EQ(hash.Id(), 28);
  EXPECT_EQ(hash.Algorithm(), u"SHA256");
  EXPECT_EQ(hash.HashSize(), 256);
  EXPECT_TRUE(Sha256::SelfTest());
}

}  // namespace
}  // namespace velsor
