// Rijndael: FIPS-197 single blocks, the zero padding of other key lengths,
// and the chaining modes over a real AES.

#include "crypto/ciphers/rijndael.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/block_cipher_checks.h"
#include "support/hex.h"

namespace velsor {
namespace {

using test::Bytes;
using test::Hex;

TEST(Rijndael, IdentityAndSelfTest) {
  Rijndael rijndael;
  const BlockCipher& c = rijndael;
  EXPECT_EQ(c.Id(), 9);
  EXPECT_EQ(c.Algorithm(), u"Rijndael");
  EXPECT_EQ(c.MaxKeySize(), 256);
  EXPECT_EQ(c.BlockSize(), 128);
  EXPECT_TRUE(Rijndael::SelfTest());
}

TEST(Rijndael, Fips197AppendixC) {
  Rijndael c;
  // FIPS-197 C.1, C.2, C.3, then C.1 again after the longer keys.
  test::ExpectEcbVectors(
      c,
      {
          {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff", "69c4e0d86a7b0430d8cdb78070b4c55a"},
          {"000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff",
           "dda97ca4864cdfe06eaf70a0ec0d7191"},
          {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "00112233445566778899aabbccddeeff",
           "8ea2b7ca516745bfeafc49904b496089"},
          {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff", "69c4e0d86a7b0430d8cdb78070b4c55a"},
      });
}

// Other key lengths run the next AES size on the whole key bytes followed by
// zero bytes; the bits of a partial last byte are not read.
TEST(Rijndael, ShortKeysAreZeroPadded) {
  // pycryptodome AES on the zero-padded key: 64 bits = AES-128 on 8 key bytes and
  // 8 zeros; 132 = AES-128 on 16 bytes; 140 = AES-192 on 17 bytes and 7 zeros;
  // 160 = AES-192 on 20 bytes and 4 zeros.
  Rijndael c;
  test::ExpectEcbVectors(c, {
                                {"2b7e151628aed2a6", "00112233445566778899aabbccddeeff", "35d70f16650bd1516bc1dcc046fe3c26", 64},
                                {"2b7e151628aed2a6abf7158809cf4f3c76", "00112233445566778899aabbccddeeff", "8df4e9aac5c7573a27d8d055d6e4d64b", 132},
                                {"2b7e151628aed2a6abf7158809cf4f3c762e", "00112233445566778899aabbccddeeff", "145600fca4b15687a591ca84b8e9cf91", 140},
                                {"2b7e151628aed2a6abf7158809cf4f3c762e7160", "00112233445566778899aabbccddeeff", "f359a2baa9db75fb54781f59e025f3ef", 160},
                            });
}

TEST(Rijndael, RefusesAKeyWithoutAWholeByte) {
  Rijndael c;
  test::ExpectRefusedKeySizes(c);
}

TEST(Rijndael, ModesAndChaining) {
  Rijndael c;
  test::ExpectModeVectors(
      c, "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "f0e1d2c3b4a5968778695a4b3c2d1e0f",
      {
          // aes, key 000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f, IV
          // f0e1d2c3b4a5968778695a4b3c2d1e0f: composed by tests/oracles/mode_vectors.py
          {cmCBC, 0, ""},
          {cmCBC, 1, "0b"},
          {cmCBC, 15, "0bbb7b7bf45afe7b11d96cb93828ed"},
          {cmCBC, 16, "5417b2b059f3ad6525300a36eb0134a3"},
          {cmCBC, 17, "5417b2b059f3ad6525300a36eb0134a302"},
          {cmCBC, 20, "5417b2b059f3ad6525300a36eb0134a3022899f6"},
          {cmCBC, 37, "5417b2b059f3ad6525300a36eb0134a3bf319bea0337832e357af7c98a498241ef6ea9f10e"},
          // Twelve whole blocks: CBC decryption takes several blocks at a time.
          {cmCBC, 203, "5417b2b059f3ad6525300a36eb0134a3bf319bea0337832e357af7c98a49824108c51aaab5009c3c395f33ec121f1d94612d7c3a67c3e2478dcf8391e2e49535984e6f257d49a56b27558631cccce8f41a797db6ab03b19bb2aa91f00a324b833754d1f6894692600d42a4490971537e7de031d2f5457e6824f7b1581f2d290a8e6ccb4986d51ae95a1f07a35d40e4a97ce378ac03d9a2e6bbd176d775912117bfb9029694309d3b95ed5d85f4ff14de625f22da3f932ff663af5e566961c9b9d5dbe9018d1ea36a124623"},
          {cmCFB8bit, 0, ""},
          {cmCFB8bit, 1, "0b"},
          {cmCFB8bit, 15, "0bd6060d079669df8be60eb6f35127"},
          {cmCFB8bit, 16, "0bd6060d079669df8be60eb6f35127d3"},
          {cmCFB8bit, 17, "0bd6060d079669df8be60eb6f35127d3fb"},
          {cmCFB8bit, 20, "0bd6060d079669df8be60eb6f35127d3fb52fdb2"},
          {cmCFB8bit, 37, "0bd6060d079669df8be60eb6f35127d3fb52fdb2b927a924834ad6ce75fc88c0db22e99a2e"},
          {cmCFBblock, 0, ""},
          {cmCFBblock, 1, "0b"},
          {cmCFBblock, 15, "0bbb7b7bf45afe7b11d96cb93828ed"},
          {cmCFBblock, 16, "0bbb7b7bf45afe7b11d96cb93828eddf"},
          {cmCFBblock, 17, "0bbb7b7bf45afe7b11d96cb93828eddfc8"},
          {cmCFBblock, 20, "0bbb7b7bf45afe7b11d96cb93828eddfc85ec246"},
          {cmCFBblock, 37, "0bbb7b7bf45afe7b11d96cb93828eddfc85ec24622114b7d6a4dc0a0a88d380226a4cc6e14"},
          {cmOFB, 0, ""},
          {cmOFB, 1, "0b"},
          {cmOFB, 15, "0bbb7b7bf45afe7b11d96cb93828ed"},
          {cmOFB, 16, "0bbb7b7bf45afe7b11d96cb93828eddf"},
          {cmOFB, 17, "0bbb7b7bf45afe7b11d96cb93828eddf7f"},
          {cmOFB, 20, "0bbb7b7bf45afe7b11d96cb93828eddf7ff02a1c"},
          {cmOFB, 37, "0bbb7b7bf45afe7b11d96cb93828eddf7ff02a1c65d23a203b294c12e3ffc8352d9bf4ed19"},
          {cmCTR, 0, ""},
          {cmCTR, 1, "0b"},
          {cmCTR, 15, "0bbb7b7bf45afe7b11d96cb93828ed"},
          {cmCTR, 16, "0bbb7b7bf45afe7b11d96cb93828eddf"},
          {cmCTR, 17, "0bbb7b7bf45afe7b11d96cb93828eddf75"},
          {cmCTR, 20, "0bbb7b7bf45afe7b11d96cb93828eddf75030769"},
          {cmCTR, 37, "0bbb7b7bf45afe7b11d96cb93828eddf75030769e62614ce47c5dea7d1b3c0c56ba9618ef3"},
      });
  test::ExpectChainingRules(c, "2b7e151628aed2a6abf7158809cf4f3c762e7160");
  test::ExpectRefusesWithoutKey(c);
}

}  // namespace
}  // namespace velsor
