// Serpent: published values and Botan for the three standard key lengths, the
// one-bit padding of other lengths, and the chaining modes over it. Blocks and
// keys are written in this component's byte order, byte 0 holding bits 0..7.

#include "crypto/ciphers/serpent.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "crypto/ciphers/serpent_sboxes.h"
#include "support/block_cipher_checks.h"
#include "support/hex.h"

namespace velsor {
namespace {

using test::Bytes;
using test::Hex;

// Every S-box circuit against the S-box tables S0..S7 of the Serpent paper
// (Anderson, Biham, Knudsen), for all 16 inputs at once: bit j of the input
// words holds input j, so one evaluation covers the whole table. The inverse
// circuits are checked against the inverse tables, so a single wrong gate in
// any circuit fails here.
using SboxTable = std::array<uint8_t, 16>;
constexpr std::array<SboxTable, 8> kPaperSboxes = {{
    {3, 8, 15, 1, 10, 6, 5, 11, 14, 13, 4, 2, 7, 0, 9, 12},
    {15, 12, 2, 7, 9, 0, 5, 10, 1, 11, 14, 8, 6, 13, 3, 4},
    {8, 6, 7, 9, 3, 12, 10, 15, 13, 1, 14, 4, 0, 11, 5, 2},
    {0, 15, 11, 8, 12, 9, 6, 3, 13, 1, 2, 4, 10, 7, 5, 14},
    {1, 15, 8, 3, 12, 0, 11, 6, 2, 5, 4, 10, 9, 14, 7, 13},
    {15, 5, 2, 11, 4, 10, 9, 12, 0, 3, 14, 8, 13, 6, 7, 1},
    {7, 2, 12, 5, 8, 4, 6, 11, 14, 9, 1, 15, 13, 3, 10, 0},
    {1, 13, 15, 0, 14, 8, 2, 11, 7, 4, 12, 10, 9, 3, 5, 6},
}};

template <int Box, bool Inverse>
void ExpectCircuitMatchesTable() {
  SboxTable expected = kPaperSboxes[Box];
  if (Inverse) {
    for (int x = 0; x < 16; ++x) expected[kPaperSboxes[Box][x]] = static_cast<uint8_t>(x);
  }
  // Columns 16..31 repeat inputs 0..15, so the upper half checks that no gate
  // mixes columns.
  uint32_t words[4] = {};
  for (int i = 0; i < 4; ++i) {
    for (uint32_t column = 0; column < 32; ++column) words[i] |= (((column % 16) >> i) & 1U) << column;
  }
  serpent_sboxes::Substitute<Box, Inverse>(words);
  for (uint32_t column = 0; column < 32; ++column) {
    unsigned got = 0;
    for (int i = 0; i < 4; ++i) got |= ((words[i] >> column) & 1U) << i;
    EXPECT_EQ(got, expected[column % 16]) << (Inverse ? "inverse " : "") << "S" << Box << " at input " << column % 16;
  }
}

TEST(Serpent, SboxCircuitsMatchThePaperTables) {
  [&]<int... Box>(std::integer_sequence<int, Box...>) {
    (ExpectCircuitMatchesTable<Box, false>(), ...);
    (ExpectCircuitMatchesTable<Box, true>(), ...);
  }
  (std::make_integer_sequence<int, 8>{});
}

TEST(Serpent, IdentityAndSelfTest) {
  Serpent serpent;
  const BlockCipher& c = serpent;
  EXPECT_EQ(c.Id(), 26);
  EXPECT_EQ(c.Algorithm(), u"Serpent");
  EXPECT_EQ(c.MaxKeySize(), 256);
  EXPECT_EQ(c.BlockSize(), 128);
  EXPECT_TRUE(Serpent::SelfTest());
}

TEST(Serpent, KnownAnswers) {
  Serpent c;
  test::ExpectEcbVectors(
      c,
      {
          // NESSIE Serpent set 1 vector 0 (Botan Serpent agrees).
          {"80000000000000000000000000000000", "00000000000000000000000000000000", "264e5481eff42a4606abda06c0bfda3d"},
          {"800000000000000000000000000000000000000000000000", "00000000000000000000000000000000",
           "9e274ead9b737bb21efcfca548602689"},
          {"8000000000000000000000000000000000000000000000000000000000000000", "00000000000000000000000000000000",
           "a223aa1288463c0e2be38ebd825616c0"},
          // Botan Serpent: zero key, a single bit in the plaintext.
          {"00000000000000000000000000000000", "80000000000000000000000000000000", "a3b35de7c358ddd82644678c64b8bcbb"},
          // Botan Serpent. The second key is the first followed by eight zero
          // bytes: the padding bit moves from bit 128 to bit 192.
          {"2b7e151628aed2a6abf7158809cf4f3c", "00112233445566778899aabbccddeeff", "e0cd624c111d58f2e97651a9fd56f3c2"},
          {"2b7e151628aed2a6abf7158809cf4f3c0000000000000000", "00112233445566778899aabbccddeeff",
           "6e9ac8debb5b3b338b548f4ba34411f5"},
          {"2b7e151628aed2a6abf7158809cf4f3c762e7160f38b4da56a784d9045190cfe", "00112233445566778899aabbccddeeff",
           "c65ab9fbd778ffe4db84e98610df4ca2"},
      });
}

// A key shorter than 256 bits is padded with a 1 bit at bit Size, so every
// length is a key of its own; the bits of a partial last byte are not read.
TEST(Serpent, ShortKeysGetThePaddingBit) {
  Serpent c;
  test::ExpectEcbVectors(c, {
                                // Nettle serpent with the 20-byte key; Botan Serpent on the 32-byte key
                                // with 01 at byte 20 gives the same.
                                {"2b7e151628aed2a6abf7158809cf4f3c762e7160", "00112233445566778899aabbccddeeff",
                                 "5c54ac4b4978d237776bf456859f106d", 160},
                                // Botan Serpent on the first 16 key bytes, 10 at byte 16 (bit 132), then zeros.
                                {"2b7e151628aed2a6abf7158809cf4f3c76", "00112233445566778899aabbccddeeff",
                                 "f656f0dc81fad080bc3cc55958363b8f", 132},
                            });
}

TEST(Serpent, RefusesAKeyWithoutAWholeByte) {
  Serpent c;
  test::ExpectRefusedKeySizes(c);
}

TEST(Serpent, ModesAndChaining) {
  Serpent c;
  test::ExpectModeVectors(
      c, "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "f0e1d2c3b4a5968778695a4b3c2d1e0f",
      {
          // serpent, key 000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f, IV
          // f0e1d2c3b4a5968778695a4b3c2d1e0f: composed by tests/oracles/mode_vectors.py over
          // Nettle's Serpent (Botan's Serpent gives the same bytes)
          {cmCBC, 0, ""},
          {cmCBC, 1, "9d"},
          {cmCBC, 15, "9de401f9523ded29534620e0816f72"},
          {cmCBC, 16, "d64c9f74cb5d966ae9f4a03e8f68aaff"},
          {cmCBC, 17, "d64c9f74cb5d966ae9f4a03e8f68aaff35"},
          {cmCBC, 20, "d64c9f74cb5d966ae9f4a03e8f68aaff353fed52"},
          {cmCBC, 37, "d64c9f74cb5d966ae9f4a03e8f68aaff9bb513cf3b853d08b6fb57a0611ca39d3ac0a18519"},
          // Twelve whole blocks: CBC decryption takes several blocks at a time.
          {cmCBC, 203,
           "d64c9f74cb5d966ae9f4a03e8f68aaff9bb513cf3b853d08b6fb57a0611ca39d681a63c5f073fa91f3ada83b8cb8c1ce63e83e7c9fa"
           "25a45e2fae21dc5cf64576f9148495564632d8354846bf9c45ac230ace4d27c88ce45e3c4bfae2a806b14f749f8289d40df6f8b8715"
           "7e1e4ea46ca44b612fdb1b5ac6d7f25a8d3bcee34454b4d30c113bdf41c4824daf4f971ef69fb10185086652fd9586513d9b7fe1756"
           "7182e08a18415fe4ac3c5f09c30418850a94fad818790f04e99e780a0aee58eea0f3b08a8194583ec6622"},
          // 29 whole blocks and 5 bytes: CBC decryption through the groups of
          // sixteen, eight and four blocks, one block alone, and the partial block.
          {cmCBC, 469,
           "d64c9f74cb5d966ae9f4a03e8f68aaff9bb513cf3b853d08b6fb57a0611ca39d681a63c5f073fa91f3ada83b8cb8c1ce63e83e7c9fa"
           "25a45e2fae21dc5cf64576f9148495564632d8354846bf9c45ac230ace4d27c88ce45e3c4bfae2a806b14f749f8289d40df6f8b8715"
           "7e1e4ea46ca44b612fdb1b5ac6d7f25a8d3bcee34454b4d30c113bdf41c4824daf4f971ef69fb10185086652fd9586513d9b7fe1756"
           "7182e08a18415fe4ac3c5f09c30418850a94fad818790f04e99e780a0aee58e31d3b0096fbcd4e0d72c4169d7d17786f2b6d33b547c"
           "69744ed717bf92c7e55e5ef54fb931ba569ecd060d98fd142d0d32d27f6ee711eedfc5b73b6beb8ea07c12d970ea7fcb806856c76f6"
           "5bc6b7683f1a02f23caa5baa53faec12c8c924b4550f87d108d9964558208cf325fce0a34288355d796ab8d0e6cae69dc9689cc985f"
           "0b902ab0b04dda5862ce982601df7c358e666e5c019447c0f888466afcfab5d81a768d60c8859f0b940af0b0fad01c1d27df30b16a8"
           "26dc90b446e2dbe9025455a4c74529e8db1e0aa4defbf32ce81d3f8d622a54db551f60be7d9dc15f28f361715c25f2b9dc2266fe3f1"
           "62b108dccf5e1f0c2061e263b7c7fd177b34cb8e7302d234aa7aea345be5ce46527e99c4e7099441b1"},
          {cmCFB8bit, 0, ""},
          {cmCFB8bit, 1, "9d"},
          {cmCFB8bit, 15, "9d7a9583aafa63e3ac8bd520232925"},
          {cmCFB8bit, 16, "9d7a9583aafa63e3ac8bd5202329252b"},
          {cmCFB8bit, 17, "9d7a9583aafa63e3ac8bd5202329252bc2"},
          {cmCFB8bit, 20, "9d7a9583aafa63e3ac8bd5202329252bc27325f2"},
          {cmCFB8bit, 37, "9d7a9583aafa63e3ac8bd5202329252bc27325f2282232f129c56c9e4e149db2f58b7c36a5"},
          {cmCFBblock, 0, ""},
          {cmCFBblock, 1, "9d"},
          {cmCFBblock, 15, "9de401f9523ded29534620e0816f72"},
          {cmCFBblock, 16, "9de401f9523ded29534620e0816f72bc"},
          {cmCFBblock, 17, "9de401f9523ded29534620e0816f72bc45"},
          {cmCFBblock, 20, "9de401f9523ded29534620e0816f72bc4593f1d5"},
          {cmCFBblock, 37, "9de401f9523ded29534620e0816f72bc4593f1d57c7e4d4cd164e01d44d340c8d7107f03c6"},
          {cmOFB, 0, ""},
          {cmOFB, 1, "9d"},
          {cmOFB, 15, "9de401f9523ded29534620e0816f72"},
          {cmOFB, 16, "9de401f9523ded29534620e0816f72bc"},
          {cmOFB, 17, "9de401f9523ded29534620e0816f72bc9a"},
          {cmOFB, 20, "9de401f9523ded29534620e0816f72bc9afed63a"},
          {cmOFB, 37, "9de401f9523ded29534620e0816f72bc9afed63aca8d47352adc34d2d230c4b460dea7fc3e"},
          {cmCTR, 0, ""},
          {cmCTR, 1, "9d"},
          {cmCTR, 15, "9de401f9523ded29534620e0816f72"},
          {cmCTR, 16, "9de401f9523ded29534620e0816f72bc"},
          {cmCTR, 17, "9de401f9523ded29534620e0816f72bc8b"},
          {cmCTR, 20, "9de401f9523ded29534620e0816f72bc8b2ee6d7"},
          {cmCTR, 37, "9de401f9523ded29534620e0816f72bc8b2ee6d7ee54240b95dc856d757ca45294acafcab5"},
      });
  test::ExpectChainingRules(c, "2b7e151628aed2a6abf7158809cf4f3c762e7160");
  test::ExpectRefusesWithoutKey(c);
}

}  // namespace
}  // namespace velsor
