// Blowfish against the designer's published vectors and pycryptodome / Botan
// for the key lengths the application passes.

#include "crypto/ciphers/blowfish.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/block_cipher_checks.h"

namespace velsor {
namespace {

TEST(Blowfish, Identity) {
  Blowfish cipher;
  const BlockCipher& base = cipher;
  EXPECT_EQ(base.Id(), 5);
  EXPECT_EQ(base.Algorithm(), u"Blowfish");
  EXPECT_EQ(base.MaxKeySize(), 448);
  EXPECT_EQ(base.BlockSize(), 64);
  EXPECT_TRUE(Blowfish::SelfTest());
}

TEST(Blowfish, DesignerVectors) {
  // The designer's published ECB vectors for 64-bit keys (also pycryptodome Blowfish).
  Blowfish cipher;
  test::ExpectEcbVectors(cipher, {
                                     {"0000000000000000", "0000000000000000", "4ef997456198dd78"},
                                     {"ffffffffffffffff", "ffffffffffffffff", "51866fd5b85ecb8a"},
                                     {"3000000000000000", "1000000000000001", "7d856f9a613063f2"},
                                     {"1111111111111111", "1111111111111111", "2466dd878b963c9d"},
                                     {"0123456789abcdef", "1111111111111111", "61f9c3802281b096"},
                                     {"1111111111111111", "0123456789abcdef", "7d0cc630afda1ec7"},
                                     {"fedcba9876543210", "0123456789abcdef", "0aceab0fc6a0a28d"},
                                 });
}

TEST(Blowfish, KeysOfEveryLength) {
  Blowfish cipher;
  test::ExpectEcbVectors(
      cipher,
      {
          // The designer's variable-key-length set: leading bytes of one key (also Botan Blowfish).
          // 5 and 20 bytes do not divide the 72 bytes of the P-array: the key bytes wrap cyclically.
          {"f0", "fedcba9876543210", "f9ad597c49db005e"},
          {"f0e1", "fedcba9876543210", "e91d21c1d961a6d6"},
          {"f0e1d2", "fedcba9876543210", "e9c2b70a1bc65cf3"},
          {"f0e1d2c3b4", "fedcba9876543210", "b39e44481bdb1e6e"},
          {"f0e1d2c3b4a5968778695a4b3c2d1e0f00112233", "fedcba9876543210", "10851c0e3858da9f"},
          {"f0e1d2c3b4a5968778695a4b3c2d1e0f0011223344556677", "fedcba9876543210", "05044b62fa52d080"},
          // Digest-sized keys of 128, 256, 384 and 448 bits (pycryptodome Blowfish).
          {"000102030405060708090a0b0c0d0e0f", "0011223344556677", "0263249aa34d999e"},
          {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "0011223344556677", "a09ff17f31669c54"},
          {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f202122232425262728292a2b2c2d2e2f",
           "0011223344556677", "0571bab6f075a7d2"},
          {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f202122232425262728292a2b2c2d2e2f"
           "3031323334353637",
           "0011223344556677", "4b1651f9d676188b"},
          {"fffefdfcfbfaf9f8f7f6f5f4f3f2f1f0efeeedecebeae9e8e7e6e5e4e3e2e1e0dfdedddcdbdad9d8d7d6d5d4d3d2d1d0"
           "cfcecdcccbcac9c8",
           "ffeeddccbbaa9988", "d3717b54a5f1cd6e"},
      });
}

TEST(Blowfish, PartialKeys) {
  Blowfish cipher;
  const auto key = test::Bytes("f0e1");
  uint8_t block[8] = {0xfe, 0xdc, 0xba, 0x98, 0x76, 0x54, 0x32, 0x10};

  // 12 bits: one whole key byte, the rest ignored (Botan Blowfish, key f0).
  cipher.Init(key.data(), 12, nullptr);
  cipher.EncryptECB(block, block);
  EXPECT_EQ(test::Hex(block, 8), "f9ad597c49db005e");

  // 4 bits leave no key byte: refused, and the earlier key is gone too.
  test::ExpectRefusedKeySizes(cipher);
}

TEST(Blowfish, Modes) {
  Blowfish cipher;
  test::ExpectModeVectors(cipher, "0123456789abcdeff0e1d2c3b4a59687", "fedcba9876543210",
                          {
                              // blowfish, key 0123456789abcdeff0e1d2c3b4a59687, IV fedcba9876543210: composed by
                              // tests/oracles/mode_vectors.py
                              {cmCBC, 0, ""},
                              {cmCBC, 1, "d5"},
                              {cmCBC, 7, "d52062f430b3b7"},
                              {cmCBC, 8, "7c29fd5e72ff5c3d"},
                              {cmCBC, 9, "7c29fd5e72ff5c3d2a"},
                              {cmCBC, 20, "7c29fd5e72ff5c3d81c50a81a3c7ec75f5a38319"},
                              {cmCBC, 21, "7c29fd5e72ff5c3d81c50a81a3c7ec75f5a3831917"},
                              // Twenty-five whole blocks: CBC decryption takes several blocks at a time.
                              {cmCBC, 203, "7c29fd5e72ff5c3d81c50a81a3c7ec7565c2f0fc254801d086f0c2b9c8bd4d1ad997c0ffdfadd8885f3bcd2af993c087e1fced5e396e63c1882a3c2999e446639358729ac36bbf6858a77f190a42cca68e34ba096df1daa9b9ea9894bc479d03aa113a04a9955fec857b77a2043e3d5d09b8751fe0ece8a6a718cdabbdbe66df3f12a24eda8caaa47726c8a95b278abfc681aca45e604f3bfecd36e4c134a1ee2d9c16005f4d9cbc8d4f2203a7e83f4967b08f4d30368106a535ea51b6f6a316d1f55b9fb9e965caa76b0e"},
                              {cmCFB8bit, 0, ""},
                              {cmCFB8bit, 1, "d5"},
                              {cmCFB8bit, 7, "d53042a2e0ef49"},
                              {cmCFB8bit, 8, "d53042a2e0ef4939"},
                              {cmCFB8bit, 9, "d53042a2e0ef49391f"},
                              {cmCFB8bit, 20, "d53042a2e0ef49391fbe987af3724474c28ef857"},
                              {cmCFB8bit, 21, "d53042a2e0ef49391fbe987af3724474c28ef85728"},
                              {cmCFBblock, 0, ""},
                              {cmCFBblock, 1, "d5"},
                              {cmCFBblock, 7, "d52062f430b3b7"},
                              {cmCFBblock, 8, "d52062f430b3b734"},
                              {cmCFBblock, 9, "d52062f430b3b73468"},
                              {cmCFBblock, 20, "d52062f430b3b73468dd34002d0d80aac49b7d38"},
                              {cmCFBblock, 21, "d52062f430b3b73468dd34002d0d80aac49b7d384f"},
                              {cmOFB, 0, ""},
                              {cmOFB, 1, "d5"},
                              {cmOFB, 7, "d52062f430b3b7"},
                              {cmOFB, 8, "d52062f430b3b734"},
                              {cmOFB, 9, "d52062f430b3b734d1"},
                              {cmOFB, 20, "d52062f430b3b734d1c00fb64b8ecfd18dac83ab"},
                              {cmOFB, 21, "d52062f430b3b734d1c00fb64b8ecfd18dac83ab14"},
                              {cmCTR, 0, ""},
                              {cmCTR, 1, "d5"},
                              {cmCTR, 7, "d52062f430b3b7"},
                              {cmCTR, 8, "d52062f430b3b734"},
                              {cmCTR, 9, "d52062f430b3b734d3"},
                              {cmCTR, 20, "d52062f430b3b734d3560b3acd67cc28522f864f"},
                              {cmCTR, 21, "d52062f430b3b734d3560b3acd67cc28522f864fdc"},
                          });
  test::ExpectChainingRules(cipher, "0123456789abcdeff0e1d2c3b4a59687");
  test::ExpectRefusesWithoutKey(cipher);
}

}  // namespace
}  // namespace velsor
