// Haval (256 bits, 5 passes) with its 0x80 padding byte, and the HAVAL-256/5
// core behind it, which with the reference's 0x01 must give the published values.

#include "crypto/hashes/haval.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypto/hashes/haval_core.h"
#include "support/hash_checks.h"

namespace velsor {
namespace {

std::string CoreDigestHex(const std::string& message, uint8_t marker) {
  std::vector<uint8_t> digest(32);
  haval_core::Digest(message.data(), static_cast<uint32_t>(message.size()), marker, digest.data());
  return test::Hex(digest);
}

TEST(Haval, MatchesItsOwnKnownAnswers) {
  // The values of the 0x80-padded variant; no outside implementation computes them.
  struct Case {
    std::string message;
    std::string digest;
  };
  const std::vector<Case> cases = {
      {"abcdefghijklmnopqrstuvwxyz", "1a1dc8099bdaa7f35b4da4e805f1a28fee909d8dee920198185cbcaed8a10a8d"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "c5647fc6c1877fff96742f27e9266b6874894f41a08f5913033d9d532aeddb39"},
  };
  Haval hash;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(test::DigestHex(hash, c.message), c.digest);
  }
}

TEST(Haval, PadsWith0x80NotTheReference0x01) {
  // The published HAVAL-256/5 digest of the empty message (PHP hash('haval256,5', '')).
  const std::string reference_empty = "be417bb4dd5cfb76c7126f4f8eeb1553a449039307b1a3cd451dbfdc0fbbe330";
  Haval hash;
  EXPECT_NE(test::DigestHex(hash, ""), reference_empty);
  EXPECT_EQ(CoreDigestHex("", 0x01), reference_empty);
}

TEST(Haval, CoreWithReferencePaddingMatchesPublishedValues) {
  // PHP hash('haval256,5', ...); 117 bytes end in one block, 118 to 127 need a second.
  struct Case {
    std::string message;
    std::string digest;
  };
  const std::vector<Case> cases = {
      {"a", "de8fd5ee72a5e4265af0a756f4e1a1f65c9b2b2f47cf17ecf0d1b88679a3e22f"},
      {"abc", "976cd6254c337969e5913b158392a2921af16fca51f5601d486e0a9de01156e7"},
      {"message digest", "7ccf22af7f99acd6ac84f176041329e2958fde1419a259d5a4b89d8f4115ad74"},
      {"abcdefghijklmnopqrstuvwxyz", "c9c7d8afa159fd9e965cb83ff5ee6f58aeda352c0eff005548153a61551c38ee"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "b45cb6e62f2b1320e4f8f1b0b273d45add47c321fd23999dcf403ac37636d963"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "68e57a72ad513af517469a96a0073ce212b42e772671687de3dfce4ff8cde9bf"},
      {std::string(117, 'a'), "5ccc1fcc4aca9ab3a014732dbafee7ed7c0cf1028b4bbaffe92a9d78e634ee02"},
      {std::string(118, 'a'), "34e1b82fdea5bf0d5eec513d8bc463d2eeab36a2af5f5183cc98b564e51431b0"},
      {std::string(127, 'a'), "f7eabeec467c8b56af40f90e799ea878d8ea7eff260d49982209364ad0e0c39d"},
      {std::string(128, 'a'), "93390552a2d23df530a5918c95d095e3914cf476cd1d95bede099c7674b31efe"},
      {std::string(300, 'a'), "c7828d002aee3cae163219add503dad80d173f7664bad06023b9454aee975a52"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message.size());
    EXPECT_EQ(CoreDigestHex(c.message, 0x01), c.digest);
  }
}

TEST(Haval, ComponentIsTheCoreWith0x80) {
  // The component's own buffering around the block and tail boundaries.
  Haval hash;
  for (std::size_t length : {0, 117, 118, 127, 128, 300}) {
    SCOPED_TRACE(length);
    const std::string message(length, 'q');
    EXPECT_EQ(test::DigestHex(hash, message), CoreDigestHex(message, 0x80));
  }
}

TEST(Haval, AnySplitGivesTheSameDigest) {
  Haval hash;
  test::ExpectSplitsAgree(hash);
}

TEST(Haval, UseAfterFinalRaises) {
  Haval hash;
  test::ExpectUseAfterFinalRaises(hash);
}

TEST(Haval, SelfTestPasses) { EXPECT_TRUE(Haval::SelfTest()); }

}  // namespace
}  // namespace velsor
