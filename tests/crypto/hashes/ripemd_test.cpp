// RIPEMD-128 and RIPEMD-160 against the designers' published test sets.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypto/hashes/ripemd128.h"
#include "crypto/hashes/ripemd160.h"
#include "support/hash_checks.h"

namespace velsor {
namespace {

struct Case {
  std::string message;
  std::string ripemd128;
  std::string ripemd160;
};

// The designers' published RIPEMD-128 and RIPEMD-160 test sets; the same
// values from PHP hash('ripemd128') and Python hashlib 'ripemd160'.
const std::vector<Case> kPublishedSet = {
    {"", "cdf26213a150dc3ecb610f18f6b38b46", "9c1185a5c5e9fc54612808977ee8f548b2258d31"},
    {"a", "86be7afa339d0fc7cfc785e72f578d33", "0bdc9d2d256b3ee9daae347be6f4dc835a467ffe"},
    {"abc", "c14a12199c66e4ba84636b0f69144c77", "8eb208f7e05d987a9b044a8e98c6b087f15a0bfc"},
    {"message digest", "9e327b3d6e523062afc1132d7df9d1b8", "5d0689ef49d2fae572b881b123a85ffa21595f36"},
    {"abcdefghijklmnopqrstuvwxyz", "fd2aa607f71dc8f510714922b371834e", "f71c27109c692c1b56bbdceb5b9d2865b3708dbc"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d1e959eb179c911faea4624c60c5c702",
     "b0e20b6e3116640286ed3a87a5713079b21f5189"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "3f45ef194732c2dbb2c4a2c769795fa3", "9b752e45573d4b39f4dbd3323cab82bf63326bfb"},
    {std::string(1000000, 'a'), "4a7f5723f954eba1216c9d8f6320431f", "52783243c1697bdbe16d37f97f68f08325dc1528"},
};

TEST(Ripemd, MatchesPublishedTestSets) {
  Ripemd128 ripemd128;
  Ripemd160 ripemd160;
  for (const auto& c : kPublishedSet) {
    SCOPED_TRACE(c.message.substr(0, 20));
    EXPECT_EQ(test::DigestHex(ripemd128, c.message), c.ripemd128);
    EXPECT_EQ(test::DigestHex(ripemd160, c.message), c.ripemd160);
  }
}

TEST(Ripemd, PaddingBoundaries) {
  // Lengths around the 56-byte limit of the one-block padding; PHP hash('ripemd128'), hashlib 'ripemd160'.
  struct Boundary {
    std::size_t length;
    std::string ripemd128;
    std::string ripemd160;
  };
  const std::vector<Boundary> cases = {
      {55, "418486955c126b27903aa01fef5d5d15", "0d8a8c9063a48576a7c97e9f95253a6e53ff6765"},
      {56, "6356ebd92cd62ee084789c6ec8eb3de3", "e72334b46c83cc70bef979e15453706c95b888be"},
      {63, "f90233a12d38ee10c156db5554feefd2", "e640041293fe663b9bf3f8c21ffecac03819e6b2"},
      {64, "680716ac638f0d601982c696d37e5e56", "9dfb7d374ad924f3f88de96291c33e9abed53e32"},
  };
  Ripemd128 ripemd128;
  Ripemd160 ripemd160;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    const std::string message(c.length, 'a');
    EXPECT_EQ(test::DigestHex(ripemd128, message), c.ripemd128);
    EXPECT_EQ(test::DigestHex(ripemd160, message), c.ripemd160);
  }
}

TEST(Ripemd, AnySplitGivesTheSameDigest) {
  Ripemd128 ripemd128;
  Ripemd160 ripemd160;
  test::ExpectSplitsAgree(ripemd128);
  test::ExpectSplitsAgree(ripemd160);
}

TEST(Ripemd, UseAfterFinalRaises) {
  Ripemd128 ripemd128;
  Ripemd160 ripemd160;
  test::ExpectUseAfterFinalRaises(ripemd128);
  test::ExpectUseAfterFinalRaises(ripemd160);
}

TEST(Ripemd, SelfTestsPass) {
  EXPECT_TRUE(Ripemd128::SelfTest());
  EXPECT_TRUE(Ripemd160::SelfTest());
}

}  // namespace
}  // namespace velsor
