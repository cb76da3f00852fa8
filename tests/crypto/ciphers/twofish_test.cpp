// Twofish against the designers' published values and, for key lengths they do
// not publish, against Botan's Twofish with the key zero-padded.

#include "crypto/ciphers/twofish.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/block_cipher_checks.h"
#include "support/hex.h"

namespace velsor {
namespace {

using test::Bytes;
using test::Hex;

TEST(Twofish, ReportsItsIdentity) {
  Twofish cipher;
  EXPECT_EQ(Twofish::GetId(), 6);
  EXPECT_EQ(Twofish::GetAlgorithm(), u"Twofish");
  EXPECT_EQ(Twofish::GetMaxKeySize(), 256);
  const BlockCipher& base = cipher;
  EXPECT_EQ(base.Id(), 6);
  EXPECT_EQ(base.Algorithm(), u"Twofish");
  EXPECT_EQ(base.MaxKeySize(), 256);
  EXPECT_EQ(base.BlockSize(), 128);
}

TEST(Twofish, DesignersKnownAnswers) {
  // One instance for all, so each key replaces a schedule of another length.
  Twofish cipher;
  test::ExpectEcbVectors(
      cipher,
      {
          // Twofish paper, test vectors for 128, 192 and 256 bits
          {"00000000000000000000000000000000", "00000000000000000000000000000000", "9f589f5cf6122c32b6bfec2f2ae8c35a"},
          {"0123456789abcdeffedcba98765432100011223344556677", "00000000000000000000000000000000",
           "cfd1d2e5a9be9cdf501f13b892bd2248"},
          {"0123456789abcdeffedcba987654321000112233445566778899aabbccddeeff", "00000000000000000000000000000000",
           "37527be0052334b89f0cfccae87cfa20"},
          // ECB_TBL.TXT, I=3 of each key length
          {"9f589f5cf6122c32b6bfec2f2ae8c35a", "d491db16e7b1c39e86cb086b789f5419", "019f9809de1711858faac3a3ba20fbc3"},
          {"efa71f788965bd4453f860178fc191010000000000000000", "88b2b2706b105e36b446bb6d731a1e88",
           "39da69d6ba4997d585b6dc073ca341b2"},
          {"57ff739d4dc92c1bd7fc01700cc8216f00000000000000000000000000000000", "d43bb7556ea32e46f2a282b7d45b4e0d",
           "90afe91bb288544f2c32dc239b2635e6"},
      });
}

TEST(Twofish, IteratedChainsOf49Steps) {
  // Each step encrypts the block; the next key is the old block followed by
  // the leading bytes of the old key. ECB_TBL.TXT, I=49 of each key length.
  struct Case {
    std::size_t key_bytes;
    std::string final_key;
    std::string final_cipher;
  };
  const std::vector<Case> kCases = {
      {16, "bca724a54533c6987e14aa827952f921", "5d9d4eeffa9151575524f115815a12e0"},
      {24, "fb66522c332fcc4c042abe32fa9e902fdea4f3da75ec7a8e", "e75449212beef9f4a390bd860a640941"},
      {32, "248a7f3528b168acfdd1386e3f51e30c2e2158bc3e5fc714c1eeeca0ea696d48", "37fe26ff1cf66175f5ddf4c33b97a205"},
  };
  Twofish cipher;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.key_bytes * 8);
    std::vector<uint8_t> key(c.key_bytes);
    std::vector<uint8_t> block(16);
    std::vector<uint8_t> last_key;
    for (int step = 1; step <= 49; ++step) {
      cipher.Init(key.data(), static_cast<uint32_t>(key.size() * 8), nullptr);
      last_key = key;
      std::vector<uint8_t> next = block;
      next.insert(next.end(), key.begin(), key.end() - 16);
      key = next;
      cipher.EncryptECB(block.data(), block.data());
    }
    EXPECT_EQ(Hex(last_key), c.final_key);
    EXPECT_EQ(Hex(block), c.final_cipher);
  }
}

TEST(Twofish, KeyLengthClassFollowsTheSizeInBits) {
  // Init reads size / 8 bytes, pads them with zeros to 16, 24 or 32 bytes by
  // the size in bits. Expected: Botan Twofish with the zero-padded key.
  struct Case {
    uint32_t bits;
    std::string key;  // the size / 8 bytes Init reads
    std::string cipher;
  };
  const std::vector<Case> kCases = {
      {8, "01", "54a98834c46f54614fcb8d94cf5f80b1"},
      {128, "01080f161d242b323940474e555c636a", "b705738ab270018524255b2f85cec600"},
      {132, "01080f161d242b323940474e555c636a", "3149d619f83e08af76f7c0662c1b902b"},  // Twofish-192
      {136, "01080f161d242b323940474e555c636a71", "91751bb8779d4a4ed3c0fa24f43db066"},
      {160, "01080f161d242b323940474e555c636a71787f86", "e80b6a1a57b23de32cda2df18746b0e4"},
      {188, "01080f161d242b323940474e555c636a71787f868d949b", "b9f755e024ade85e73a7ee42af3cd52a"},
      {200, "01080f161d242b323940474e555c636a71787f868d949ba2a9", "3b7212c61b98b30137909851edeff2af"},
  };
  const auto plain = Bytes("000102030405060708090a0b0c0d0e0f");
  Twofish cipher;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.bits);
    const auto key = Bytes(c.key);  // exactly the bytes that may be read
    cipher.Init(key.data(), c.bits, nullptr);
    auto block = plain;
    cipher.EncryptECB(block.data(), block.data());
    EXPECT_EQ(Hex(block), c.cipher);
    cipher.DecryptECB(block.data(), block.data());
    EXPECT_EQ(block, plain);
  }
}

TEST(Twofish, RefusesSizesWithoutAWholeKeyByte) {
  // 4 bits pass the common check but would leave the all-zero key; the
  // others fail the common check. Each failure leaves no key in place.
  Twofish cipher;
  test::ExpectRefusedKeySizes(cipher);
}

TEST(Twofish, ModeVectors) {
  Twofish cipher;
  test::ExpectModeVectors(
      cipher, "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "f0e1d2c3b4a5968778695a4b3c2d1e0f",
      {
          // twofish, key 000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f,
          // IV f0e1d2c3b4a5968778695a4b3c2d1e0f: composed by tests/oracles/mode_vectors.py
          {cmCBC, 0, ""},
          {cmCBC, 1, "57"},
          {cmCBC, 15, "5721ffe2b3d6472bcf8ec0d5bc7066"},
          {cmCBC, 16, "a5ca32901e6fe8c044a7a89f4b974572"},
          {cmCBC, 17, "a5ca32901e6fe8c044a7a89f4b9745720a"},
          {cmCBC, 20, "a5ca32901e6fe8c044a7a89f4b9745720aaac3d5"},
          {cmCBC, 37, "a5ca32901e6fe8c044a7a89f4b9745724500151351d4176e2841e220f91e757f1c3e4f972e"},
          // Twelve whole blocks: CBC decryption takes several blocks at a time.
          {cmCBC, 203, "a5ca32901e6fe8c044a7a89f4b9745724500151351d4176e2841e220f91e757f6f9a1845ea85013f422adc7521ac56f4bd35db3ffea49120434dad745892870d7c0322fdf00dd563e74e44e9d0a8d976f16a5611e4e6d8ed98dd863ae4fc4515ff0f238ed2699f3a3af0ff5f0cbbecedecf932ef7cfaa2ffaf26dffeadc70f7cb0390e1bafb0f8677de8cd5aab2bcdbc2029b07560e05b4db2d5fabb0d3f5fd185b2e090aaf24c4c80c1214a5abacdeddf52e3ff6d7376b3e9fe306020fb00e259c547a3ad85218d612178"},
          {cmCFB8bit, 0, ""},
          {cmCFB8bit, 1, "57"},
          {cmCFB8bit, 15, "576292b2076a05b50b41134c4ffe62"},
          {cmCFB8bit, 16, "576292b2076a05b50b41134c4ffe629c"},
          {cmCFB8bit, 17, "576292b2076a05b50b41134c4ffe629caf"},
          {cmCFB8bit, 20, "576292b2076a05b50b41134c4ffe629cafae6bc5"},
          {cmCFB8bit, 37, "576292b2076a05b50b41134c4ffe629cafae6bc59b039a4b5d90031f188bac839b070310b8"},
          {cmCFBblock, 0, ""},
          {cmCFBblock, 1, "57"},
          {cmCFBblock, 15, "5721ffe2b3d6472bcf8ec0d5bc7066"},
          {cmCFBblock, 16, "5721ffe2b3d6472bcf8ec0d5bc7066f8"},
          {cmCFBblock, 17, "5721ffe2b3d6472bcf8ec0d5bc7066f8a4"},
          {cmCFBblock, 20, "5721ffe2b3d6472bcf8ec0d5bc7066f8a47a9a18"},
          {cmCFBblock, 37, "5721ffe2b3d6472bcf8ec0d5bc7066f8a47a9a18c982f0614be267cdb2be9169b296bc9bd0"},
          {cmOFB, 0, ""},
          {cmOFB, 1, "57"},
          {cmOFB, 15, "5721ffe2b3d6472bcf8ec0d5bc7066"},
          {cmOFB, 16, "5721ffe2b3d6472bcf8ec0d5bc7066f8"},
          {cmOFB, 17, "5721ffe2b3d6472bcf8ec0d5bc7066f8da"},
          {cmOFB, 20, "5721ffe2b3d6472bcf8ec0d5bc7066f8da0c31a5"},
          {cmOFB, 37, "5721ffe2b3d6472bcf8ec0d5bc7066f8da0c31a5dd81a3aef99ab0054024864174baf5f373"},
          {cmCTR, 0, ""},
          {cmCTR, 1, "57"},
          {cmCTR, 15, "5721ffe2b3d6472bcf8ec0d5bc7066"},
          {cmCTR, 16, "5721ffe2b3d6472bcf8ec0d5bc7066f8"},
          {cmCTR, 17, "5721ffe2b3d6472bcf8ec0d5bc7066f8c2"},
          {cmCTR, 20, "5721ffe2b3d6472bcf8ec0d5bc7066f8c2245cde"},
          {cmCTR, 37, "5721ffe2b3d6472bcf8ec0d5bc7066f8c2245cdecd6695489c22c9ff759eea5715f619ec79"},
      });
}

TEST(Twofish, ChainingRulesAndRefusalWithoutKey) {
  Twofish cipher;
  test::ExpectChainingRules(cipher, "0123456789abcdeffedcba98765432100011223344556677");
  test::ExpectRefusesWithoutKey(cipher);
}

TEST(Twofish, SelfTestPasses) { EXPECT_TRUE(Twofish::SelfTest()); }

}  // namespace
}  // namespace velsor
