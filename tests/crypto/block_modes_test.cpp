// The chaining modes over a real AES: the NIST examples, and the rules of
// this system's modes that only show with a real cipher (the IV derived from
// the key, the partial CBC block, the counter carry, switching modes).

#include "crypto/block_modes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypto/ciphers/rijndael.h"
#include "support/hex.h"

namespace velsor {
namespace {

using test::Bytes;
using test::Hex;

using ModeCall = void (BlockCipher::*)(const void*, void*, uint32_t);

struct DirectCalls {
  ModeCall encrypt;
  ModeCall decrypt;
};

// Indexed by ChainMode.
const DirectCalls kDirect[] = {
    {&BlockCipher::EncryptCBC, &BlockCipher::DecryptCBC},
    {&BlockCipher::EncryptCFB8bit, &BlockCipher::DecryptCFB8bit},
    {&BlockCipher::EncryptCFBblock, &BlockCipher::DecryptCFBblock},
    {&BlockCipher::EncryptOFB, &BlockCipher::DecryptOFB},
    {&BlockCipher::EncryptCTR, &BlockCipher::DecryptCTR},
};

const std::string kKey128 = "2b7e151628aed2a6abf7158809cf4f3c";
const std::string kKey192 = "8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b";
const std::string kKey256 = "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4";
const std::string kIv = "000102030405060708090a0b0c0d0e0f";
const std::string kCounter = "f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff";
const std::string kPlain =
    "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710";
const std::string kPlainCfb8 = "6bc1bee22e409f96e93d7e117393172aae2d";

void InitCipher(BlockCipher& c, const std::string& key_hex, const std::string& iv_hex) {
  const auto key = Bytes(key_hex);
  const auto iv = Bytes(iv_hex);
  c.Init(key.data(), static_cast<uint32_t>(8 * key.size()), iv.data());
}

TEST(BlockModes, Sp800_38aExamples) {
  struct Case {
    const char* name;
    ChainMode mode;
    std::string key;
    std::string plain;
    std::string cipher;
  };
  // NIST SP 800-38A Appendix F (pycryptodome gives the same).
  const std::vector<Case> kCases = {
      {"F.2.1 CBC-AES128", cmCBC, kKey128, kPlain,
       "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
       "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7"},
      {"F.2.3 CBC-AES192", cmCBC, kKey192, kPlain,
       "4f021db243bc633d7178183a9fa071e8b4d9ada9ad7dedf4e5e738763f69145a"
       "571b242012fb7ae07fa9baac3df102e008b0e27988598881d920a9e64f5615cd"},
      {"F.2.5 CBC-AES256", cmCBC, kKey256, kPlain,
       "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
       "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b"},
      {"F.3.7 CFB8-AES128", cmCFB8bit, kKey128, kPlainCfb8, "3b79424c9c0dd436bace9e0ed4586a4f32b9"},
      {"F.3.9 CFB8-AES192", cmCFB8bit, kKey192, kPlainCfb8, "cda2521ef0a905ca44cd057cbf0d47a0678a"},
      {"F.3.11 CFB8-AES256", cmCFB8bit, kKey256, kPlainCfb8, "dc1f1a8520a64db55fcc8ac554844e889700"},
      {"F.3.13 CFB128-AES128", cmCFBblock, kKey128, kPlain,
       "3b3fd92eb72dad20333449f8e83cfb4ac8a64537a0b3a93fcde3cdad9f1ce58b"
       "26751f67a3cbb140b1808cf187a4f4dfc04b05357c5d1c0eeac4c66f9ff7f2e6"},
      {"F.3.15 CFB128-AES192", cmCFBblock, kKey192, kPlain,
       "cdc80d6fddf18cab34c25909c99a417467ce7f7f81173621961a2b70171d3d7a"
       "2e1e8a1dd59b88b1c8e60fed1efac4c9c05f9f9ca9834fa042ae8fba584b09ff"},
      {"F.3.17 CFB128-AES256", cmCFBblock, kKey256, kPlain,
       "dc7e84bfda79164b7ecd8486985d386039ffed143b28b1c832113c6331e5407b"
       "df10132415e54b92a13ed0a8267ae2f975a385741ab9cef82031623d55b1e471"},
      {"F.4.1 OFB-AES128", cmOFB, kKey128, kPlain,
       "3b3fd92eb72dad20333449f8e83cfb4a7789508d16918f03f53c52dac54ed825"
       "9740051e9c5fecf64344f7a82260edcc304c6528f659c77866a510d9c1d6ae5e"},
      {"F.4.3 OFB-AES192", cmOFB, kKey192, kPlain,
       "cdc80d6fddf18cab34c25909c99a4174fcc28b8d4c63837c09e81700c1100401"
       "8d9a9aeac0f6596f559c6d4daf59a5f26d9f200857ca6c3e9cac524bd9acc92a"},
      {"F.4.5 OFB-AES256", cmOFB, kKey256, kPlain,
       "dc7e84bfda79164b7ecd8486985d38604febdc6740d20b3ac88f6ad82a4fb08d"
       "71ab47a086e86eedf39d1c5bba97c4080126141d67f37be8538f5a8be740e484"},
      {"F.5.1 CTR-AES128", cmCTR, kKey128, kPlain,
       "874d6191b620e3261bef6864990db6ce9806f66b7970fdff8617187bb9fffdff"
       "5ae4df3edbd5d35e5b4f09020db03eab1e031dda2fbe03d1792170a0f3009cee"},
      {"F.5.3 CTR-AES192", cmCTR, kKey192, kPlain,
       "1abc932417521ca24f2b0459fe7e6e0b090339ec0aa6faefd5ccc2c6f4ce8e94"
       "1e36b26bd1ebc670d1bd1d665620abf74f78a7f6d29809585a97daec58c6b050"},
      {"F.5.5 CTR-AES256", cmCTR, kKey256, kPlain,
       "601ec313775789a5b7a7f504bbf3d228f443e3ca4d62b59aca84e990cacaf5c5"
       "2b0930daa23de94ce87017ba2d84988ddfc9c58db67aada613c2dd08457941a6"},
  };
  Rijndael c;
  for (const auto& k : kCases) {
    SCOPED_TRACE(k.name);
    const std::string& iv = k.mode == cmCTR ? kCounter : kIv;
    const auto plain = Bytes(k.plain);
    const auto size = static_cast<uint32_t>(plain.size());
    std::vector<uint8_t> out(plain.size());

    // The mode operations directly, whatever CipherMode says.
    c.SetCipherMode(static_cast<ChainMode>((k.mode + 1) % 5));
    InitCipher(c, k.key, iv);
    (c.*kDirect[k.mode].encrypt)(plain.data(), out.data(), size);
    EXPECT_EQ(Hex(out), k.cipher);
    InitCipher(c, k.key, iv);
    (c.*kDirect[k.mode].decrypt)(out.data(), out.data(), size);
    EXPECT_EQ(out, plain);

    // Encrypt and Decrypt with CipherMode.
    c.SetCipherMode(k.mode);
    InitCipher(c, k.key, iv);
    c.Encrypt(plain.data(), out.data(), size);
    EXPECT_EQ(Hex(out), k.cipher);
    InitCipher(c, k.key, iv);
    c.Decrypt(out.data(), out.data(), size);
    EXPECT_EQ(out, plain);
  }
}

TEST(BlockModes, InitVectorIsGivenOrTheEncryptedZeroBlock) {
  Rijndael c;
  const auto key = Bytes(kKey128);
  c.Init(key.data(), 128, nullptr);
  uint8_t cv[16];
  c.GetIV(cv);
  EXPECT_EQ(Hex(cv, 16), "7df76b0c1ab899b33e42f047b91b546f");  // pycryptodome AES-128 of 16 zero bytes
  InitCipher(c, kKey128, kIv);
  c.GetIV(cv);
  EXPECT_EQ(Hex(cv, 16), kIv);
}

TEST(BlockModes, CbcShorterThanABlockIsXoredWithTheEncryptedIv) {
  Rijndael c;
  InitCipher(c, kKey128, kIv);
  auto data = Bytes("6bc1bee22e");
  c.EncryptCBC(data.data(), data.data(), 5);
  EXPECT_EQ(Hex(data), "3b3fd92eb7");  // pycryptodome: the input XOR AES-128(IV)
  InitCipher(c, kKey128, kIv);
  c.DecryptCBC(data.data(), data.data(), 5);
  EXPECT_EQ(Hex(data), "6bc1bee22e");
}

TEST(BlockModes, CounterIsOneBigEndianNumber) {
  struct Case {
    std::string counter;
    uint32_t size;
    std::string next;
  };
  const std::vector<Case> kCases = {
      {"000000000000000000000000000000ff", 16, "00000000000000000000000000000100"},
      {"00000000000000000000ffffffffffff", 16, "00000000000000000001000000000000"},
      {"ffffffffffffffffffffffffffffffff", 16, "00000000000000000000000000000000"},
      {"000000000000000000000000000000ff", 5, "00000000000000000000000000000100"},  // a partial block too
      {"000000000000000000000000000000ff", 0, "000000000000000000000000000000ff"},
  };
  Rijndael c;
  for (const auto& k : kCases) {
    SCOPED_TRACE(k.counter + " after " + std::to_string(k.size) + " bytes");
    InitCipher(c, kKey128, k.counter);
    uint8_t data[16] = {};
    c.EncryptCTR(data, data, k.size);
    uint8_t cv[16];
    c.GetIV(cv);
    EXPECT_EQ(Hex(cv, 16), k.next);
  }
}

TEST(BlockModes, EmptyCallsLeaveTheChainAlone) {
  Rijndael c;
  for (const auto& calls : kDirect) {
    InitCipher(c, kKey128, kIv);
    uint8_t byte = 0x42;
    (c.*calls.encrypt)(&byte, &byte, 0);
    (c.*calls.decrypt)(&byte, &byte, 0);
    uint8_t cv[16];
    c.GetIV(cv);
    EXPECT_EQ(Hex(cv, 16), kIv);
    EXPECT_EQ(byte, 0x42);
  }
}

TEST(BlockModes, SwitchingModesKeepsTheChain) {
  Rijndael c;
  const auto plain = Bytes(kPlain.substr(0, 64));
  // pycryptodome: the first block in CBC (SP 800-38A F.2.1), the second in OFB
  // with that ciphertext block as IV.
  const std::string expected = "7649abac8119b246cee98e9b12e9197d58d8fd9dcae613b5eb9a1c15b435237d";
  std::vector<uint8_t> out(32);
  InitCipher(c, kKey128, kIv);
  c.SetCipherMode(cmCBC);
  c.Encrypt(plain.data(), out.data(), 16);
  c.SetCipherMode(cmOFB);
  c.Encrypt(plain.data() + 16, out.data() + 16, 16);
  EXPECT_EQ(Hex(out), expected);

  InitCipher(c, kKey128, kIv);
  c.SetCipherMode(cmCBC);
  c.Decrypt(out.data(), out.data(), 16);
  c.SetCipherMode(cmOFB);
  c.Decrypt(out.data() + 16, out.data() + 16, 16);
  EXPECT_EQ(out, plain);
}

TEST(BlockModes, ResetAfterBurnRaises) {
  Rijndael c;
  InitCipher(c, kKey128, kIv);
  c.Burn();
  try {
    c.Reset();
    ADD_FAILURE() << "Reset after Burn did not raise";
  } catch (const BlockCipherError& e) {
    EXPECT_STREQ(e.what(), "Cipher not initialized");
  }
}

}  // namespace
}  // namespace velsor
