// SHA-384 and SHA-512 against the examples of FIPS 180-2 (appendices C and D) and hashlib.

#include "crypto/hashes/sha512.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/hash_checks.h"

namespace velsor {
namespace {

struct Case {
  std::string name;
  std::string message;
  std::string sha384;
  std::string sha512;
};

const std::string kTwoBlock =
    "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu";

TEST(Sha384And512, MatchPublishedDigests) {
  const std::vector<Case> cases = {
      // FIPS 180-2, C.1-C.3 (SHA-512) and D.1-D.3 (SHA-384): one block, two blocks, a million "a".
      {"abc", "abc", "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca134c825a7",
       "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
       "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
      {"two-block", kTwoBlock,
       "09330c33f71147e83d192fc782cd1b4753111b173b3b05d22fa08086e3b0f712fcc7c71a557e2db966c3e9fa91746039",
       "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018"
       "501d289e4900f7e4331b99dec4b5433ac7d329eeb6dd26545e96e55b874be909"},
      {"million a", std::string(1000000, 'a'),
       "9d0e1809716474cb086e834e310a4a1ced149e9c00f248527972cec5704c2a5b07b8b3dc38ecc4ebae97ddd87f3d8985",
       "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973eb"
       "de0ff244877ea60a4cb0432ce577c31beb009c5c2c49aa2e4eadb217ad8cc09b"},
      // hashlib: the empty message and lengths around the 112-byte limit of the one-block padding.
      {"empty", "", "38b060a751ac96384cd9327eb1b1e36a21fdb71114be07434c0cc7bf63f6e1da274edebfe76f65fbd51ad2f14898b95b",
       "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce"
       "47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e"},
      {"111 a", std::string(111, 'a'),
       "3c37955051cb5c3026f94d551d5b5e2ac38d572ae4e07172085fed81f8466b8f90dc23a8ffcdea0b8d8e58e8fdacc80a",
       "fa9121c7b32b9e01733d034cfc78cbf67f926c7ed83e82200ef86818196921760"
       "b4beff48404df811b953828274461673c68d04e297b0eb7b2b4d60fc6b566a2"},
      {"112 a", std::string(112, 'a'),
       "187d4e07cb306103c69967bf544d0dfbe9042577599c73c330abc0cb64c61236d5ed565ee19119d8c31779a38f791fcd",
       "c01d080efd492776a1c43bd23dd99d0a2e626d481e16782e75d54c2503b5dc32"
       "bd05f0f1ba33e568b88fd2d970929b719ecbb152f58f130a407c8830604b70ca"},
      {"127 a", std::string(127, 'a'),
       "9bd06b1763c2cf7aef40e795dc65bc96d59c41b537f3ad72ebdefd485476b5717c1aeb37c327fe9c1831b12b9efd08ae",
       "828613968b501dc00a97e08c73b118aa8876c26b8aac93df128502ab360f91ba"
       "b50a51e088769a5c1eff4782ace147dce3642554199876374291f5d921629502"},
      {"128 a", std::string(128, 'a'),
       "edb12730a366098b3b2beac75a3bef1b0969b15c48e2163c23d96994f8d1bef760c7e27f3c464d3829f56c0d53808b0b",
       "b73d1929aa615934e61a871596b3f3b33359f42b8175602e89f7e06e5f658a24"
       "3667807ed300314b95cacdd579f3e33abdfbe351909519a846d465c59582f321"},
  };
  Sha384 sha384;
  Sha512 sha512;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(test::DigestHex(sha384, c.message), c.sha384);
    EXPECT_EQ(test::DigestHex(sha512, c.message), c.sha512);
  }
}

TEST(Sha384And512, AnySplitGivesTheSameDigest) {
  Sha384 sha384;
  Sha512 sha512;
  test::ExpectSplitsAgree(sha384);
  test::ExpectSplitsAgree(sha512);
}

TEST(Sha384And512, UseAfterFinalRaises) {
  Sha384 sha384;
  Sha512 sha512;
  test::ExpectUseAfterFinalRaises(sha384);
  test::ExpectUseAfterFinalRaises(sha512);
}

TEST(Sha384And512, IdentityAndSelfTest) {
  // The shared base is no hash of its own and reports the defaults.
  EXPECT_EQ(Sha512Base::GetId(), -1);
  EXPECT_EQ(Sha512Base::GetAlgorithm(), u"");
  EXPECT_EQ(Sha512Base::GetHashSize(), -1);
  EXPECT_FALSE(Sha512Base::SelfTest());

  Sha384 sha384;
  Sha512 sha512;
  const Hash& h384 = sha384;
  const Hash& h512 = sha512;
  EXPECT_EQ(h384.Id(), 29);
  EXPECT_EQ(h384.Algorithm(), u"SHA384");
  EXPECT_EQ(h384.HashSize(), 384);
  EXPECT_EQ(h512.Id(), 30);
  EXPECT_EQ(h512.Algorithm(), u"SHA512");
  EXPECT_EQ(h512.HashSize(), 512);
  EXPECT_TRUE(Sha384::SelfTest());
  EXPECT_TRUE(Sha512::SelfTest());
}

}  // namespace
}  // namespace velsor
