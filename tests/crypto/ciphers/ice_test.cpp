// The ICE family against its designer's published vectors, and the key-size
// rules: zero padding of short keys, a trailing half byte ignored, 4 bits refused.
// No outside library implements ICE, so the modes are checked for their rules
// only (their vectors are checked with AES, on the same shared code).

#include "crypto/ciphers/ice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/block_cipher_checks.h"
#include "support/hex.h"

namespace velsor {
namespace {

using test::Bytes;
using test::Hex;

// ECB encryption of one block under a key of `bits` bits.
std::string EncryptBlock(BlockCipher& c, const std::string& key_hex, uint32_t bits, const std::string& block_hex) {
  const auto key = Bytes(key_hex);
  c.Init(key.data(), bits, nullptr);
  auto block = Bytes(block_hex);
  c.EncryptECB(block.data(), block.data());
  return Hex(block);
}

TEST(IceFamily, PublishedVectors) {
  // The designer's published values for levels 0, 1 and 2.
  ThinIce thin;
  Ice ice;
  Ice2 ice2;
  test::ExpectEcbVectors(thin, {{"deadbeef01234567", "fedcba9876543210", "de240d83a00a9cc0"}});
  test::ExpectEcbVectors(ice, {{"deadbeef01234567", "fedcba9876543210", "7d6ef1ef30d47a96"}});
  test::ExpectEcbVectors(ice2, {{"00112233445566778899aabbccddeeff", "fedcba9876543210", "f94840d86972f21c"}});
}

TEST(IceFamily, SelfTestsPass) {
  EXPECT_TRUE(ThinIce::SelfTest());
  EXPECT_TRUE(Ice::SelfTest());
  EXPECT_TRUE(Ice2::SelfTest());
}

TEST(IceFamily, ReportsIdsNamesAndSizes) {
  ThinIce thin;
  Ice ice;
  Ice2 ice2;
  struct Case {
    BlockCipher* cipher;
    int32_t id;
    std::u16string name;
    int32_t max_key;
  };
  const std::vector<Case> kCases = {{&ice, 20, u"Ice", 64}, {&thin, 21, u"Thin Ice", 64}, {&ice2, 22, u"Ice2", 128}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(c.cipher->Id(), c.id);
    EXPECT_EQ(c.cipher->Algorithm(), c.name);
    EXPECT_EQ(c.cipher->MaxKeySize(), c.max_key);
    EXPECT_EQ(c.cipher->BlockSize(), 64);
  }
  // The shared base is no algorithm of its own.
  EXPECT_EQ(IceBase::GetId(), -1);
  EXPECT_EQ(IceBase::GetAlgorithm(), u"");
  EXPECT_EQ(IceBase::GetMaxKeySize(), -1);
}

TEST(IceFamily, ThinIceAndIceDifferOnTheSameKey) {
  ThinIce thin;
  Ice ice;
  EXPECT_NE(EncryptBlock(thin, "deadbeef01234567", 64, "fedcba9876543210"),
            EncryptBlock(ice, "deadbeef01234567", 64, "fedcba9876543210"));
}

TEST(IceFamily, DecryptionInvertsAtEveryLevel) {
  ThinIce thin;
  Ice ice;
  Ice2 ice2;
  for (BlockCipher* c : std::vector<BlockCipher*>{&thin, &ice, &ice2}) {
    for (uint32_t bits = 8; bits <= static_cast<uint32_t>(c->MaxKeySize()); bits += 24) {
      SCOPED_TRACE(std::to_string(c->Id()) + ", key bits " + std::to_string(bits));
      const auto key = test::PlaintextOfLength(bits / 8);
      c->Init(key.data(), bits, nullptr);
      for (const std::string block : {"0000000000000000", "ffffffffffffffff", "0123456789abcdef"}) {
        auto data = Bytes(block);
        c->EncryptECB(data.data(), data.data());
        EXPECT_NE(Hex(data), block);
        c->DecryptECB(data.data(), data.data());
        EXPECT_EQ(Hex(data), block);
      }
    }
  }
}

TEST(IceFamily, ShortKeysArePaddedWithZeroBytes) {
  ThinIce thin;
  Ice ice;
  Ice2 ice2;
  struct Case {
    const char* name;
    BlockCipher* cipher;
    std::string short_key;
    uint32_t short_bits;
    std::string padded_key;  // all its bytes used
  };
  const std::vector<Case> kCases = {
      {"Thin Ice, 8 bits", &thin, "de", 8, "de00000000000000"},
      {"Ice, 32 bits", &ice, "deadbeef", 32, "deadbeef00000000"},
      // The second half of the schedule comes from four zero words.
      {"Ice2, 64 bits", &ice2, "0011223344556677", 64, "00112233445566770000000000000000"},
      // Only whole bytes count: the bits of a trailing half byte are dropped.
      {"Ice2, 20 bits", &ice2, "0011ff", 20, "00110000000000000000000000000000"},
      {"Ice, 60 bits", &ice, "deadbeef012345ff", 60, "deadbeef01234500"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const auto padded_bits = static_cast<uint32_t>(c.padded_key.size() * 4);
    EXPECT_EQ(EncryptBlock(*c.cipher, c.short_key, c.short_bits, "fedcba9876543210"),
              EncryptBlock(*c.cipher, c.padded_key, padded_bits, "fedcba9876543210"));
  }
}

TEST(IceFamily, KeySizeRules) {
  ThinIce thin;
  Ice ice;
  Ice2 ice2;
  // 4 bits hold no whole key byte; the others fail the common check.
  for (BlockCipher* c : std::vector<BlockCipher*>{&thin, &ice, &ice2}) {
    SCOPED_TRACE(c->Id());
    test::ExpectRefusedKeySizes(*c);
  }
}

TEST(IceFamily, ModesKeepTheirRules) {
  ThinIce thin;
  Ice ice;
  Ice2 ice2;
  test::ExpectChainingRules(thin, "deadbeef01234567");
  test::ExpectChainingRules(ice, "deadbeef01234567");
  test::ExpectChainingRules(ice2, "00112233445566778899aabbccddeeff");
}

TEST(IceFamily, RefusesWithoutKey) {
  ThinIce thin;
  Ice ice;
  Ice2 ice2;
  test::ExpectRefusesWithoutKey(thin);
  test::ExpectRefusesWithoutKey(ice);
  test::ExpectRefusesWithoutKey(ice2);
}

}  // namespace
}  // namespace velsor
