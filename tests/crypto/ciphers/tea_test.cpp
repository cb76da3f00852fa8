// The TEA variant: no outside implementation computes it, so the known answer
// is the one value its definition gives (all-zero key and block), checked
// against the published TEA's different result; the rest are round trips and
// the common block cipher rules.

#include "crypto/ciphers/tea.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/block_cipher_checks.h"
#include "support/hex.h"

namespace velsor {
namespace {

using test::Bytes;
using test::Hex;

std::vector<uint8_t> EncryptBlock(Tea& tea, const std::vector<uint8_t>& key, uint32_t bits, const std::string& plain) {
  tea.Init(key.data(), bits, nullptr);
  auto block = Bytes(plain);
  tea.EncryptECB(block.data(), block.data());
  return block;
}

TEST(Tea, Identity) {
  Tea tea;
  const BlockCipher& base = tea;
  EXPECT_EQ(base.Id(), 25);
  EXPECT_EQ(base.Algorithm(), u"Tea");
  EXPECT_EQ(base.MaxKeySize(), 128);
  EXPECT_EQ(base.BlockSize(), 64);
}

TEST(Tea, VariantRoundFunction) {
  Tea tea;
  // The defining value of this variant: all-zero key and block.
  test::ExpectEcbVectors(tea, {{"00000000000000000000000000000000", "0000000000000000", "f88b1c2d0684458e"}});
  // Keys that tell how each key word enters the rounds and in which byte order:
  // tests/oracles/tea_variant.py, a transcription of the round written apart from this code.
  test::ExpectEcbVectors(tea, {
                                  {"000102030405060708090a0b0c0d0e0f", "0123456789abcdef", "7e1af625ea9bd0e9"},
                                  {"0123456712345678234567893456789a", "0000000100000002", "6c710e657d9a2e43"},
                                  {"0011223344556677", "fedcba9876543210", "9bad5c767d2db41e"},  // k2 = k3 = 0
                              });
  // The published TEA gives 41ea3a0a94baa940 for the same key and block.
  const std::vector<uint8_t> zero_key(16);
  EXPECT_NE(Hex(EncryptBlock(tea, zero_key, 128, "0000000000000000")), "41ea3a0a94baa940");
}

TEST(Tea, DecryptionInvertsEncryption) {
  // Keys and blocks with every byte in use, including the published TEA's
  // own test key, in place through EncryptECB and DecryptECB.
  const std::string keys[] = {"00112233445566778899aabbccddeeff", "0123456789abcdeffedcba9876543210",
                              "ffffffffffffffffffffffffffffffff"};
  const std::string blocks[] = {"0000000000000000", "0123456789abcdef", "ffffffffffffffff", "8000000000000001"};
  Tea tea;
  for (const auto& key_hex : keys) {
    const auto key = Bytes(key_hex);
    for (const auto& plain : blocks) {
      SCOPED_TRACE(key_hex + " " + plain);
      auto block = EncryptBlock(tea, key, 128, plain);
      EXPECT_NE(Hex(block), plain);
      tea.DecryptECB(block.data(), block.data());
      EXPECT_EQ(Hex(block), plain);
    }
  }
}

TEST(Tea, KeySizes) {
  Tea tea;
  const auto key = Bytes("0123456789abcdef");
  // A 64-bit key leaves k2 = k3 = 0: the same as the key padded with zero bytes.
  const auto padded = Bytes("0123456789abcdef0000000000000000");
  EXPECT_EQ(EncryptBlock(tea, key, 64, "0011223344556677"), EncryptBlock(tea, padded, 128, "0011223344556677"));
  // 12 bits use one whole key byte.
  EXPECT_EQ(EncryptBlock(tea, key, 12, "0011223344556677"), EncryptBlock(tea, key, 8, "0011223344556677"));

  // 4 bits pass the common size check but leave no key byte.
  test::ExpectRefusedKeySizes(tea);
}

TEST(Tea, ChainingRulesAndRefusalWithoutKey) {
  Tea tea;
  test::ExpectChainingRules(tea, "00112233445566778899aabbccddeeff");
  test::ExpectRefusesWithoutKey(tea);
}

TEST(Tea, SelfTest) { EXPECT_TRUE(Tea::SelfTest()); }

}  // namespace
}  // namespace velsor
