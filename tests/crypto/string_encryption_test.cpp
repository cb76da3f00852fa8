// String encryption: the bytes go through the cipher (CFB with 8-bit feedback
// for block ciphers, whatever the mode) and leave as Base64; nothing resets.

#include <gtest/gtest.h>

#include <string>

#include "crypto/base64.h"
#include "crypto/ciphers/rc4.h"
#include "crypto/ciphers/rijndael.h"
#include "support/hex.h"

namespace velsor {
namespace {

TEST(StringEncryption, Rc4RoundTripsThroughBase64) {
  Rc4 rc4;
  const auto key = test::Bytes("0102030405");
  rc4.Init(key.data(), 40, nullptr);
  const std::string encrypted = rc4.EncryptString("hello");
  EXPECT_EQ(encrypted.size(), 8U);
  EXPECT_EQ(encrypted.back(), '=');
  // RFC 6229 key stream b2396305f0 XOR "hello", Base64-encoded.
  EXPECT_EQ(encrypted, Base64EncodeAnsi(std::string("\xda\x5c\x0f\x69\x9f", 5)));
  rc4.Reset();
  EXPECT_EQ(rc4.DecryptString(encrypted), "hello");

  rc4.Reset();
  const std::u16string wide = rc4.EncryptUnicodeString(u"h\u00E9");
  EXPECT_EQ(wide.size(), 8U);
  rc4.Reset();
  EXPECT_EQ(rc4.DecryptUnicodeString(wide), u"h\u00E9");
}

TEST(StringEncryption, BlockCiphersAlwaysUseCfb8) {
  Rijndael cipher;
  const auto key = test::Bytes("2b7e151628aed2a6abf7158809cf4f3c");
  const auto iv = test::Bytes("000102030405060708090a0b0c0d0e0f");
  const std::string plain = "twelve bytes";

  cipher.Init(key.data(), 128, iv.data());
  std::string cfb8 = plain;
  cipher.EncryptCFB8bit(cfb8.data(), cfb8.data(), static_cast<uint32_t>(cfb8.size()));

  cipher.Init(key.data(), 128, iv.data());
  ASSERT_EQ(cipher.CipherMode(), cmCBC);
  const std::string encrypted = cipher.EncryptString(plain);
  EXPECT_EQ(encrypted, Base64EncodeAnsi(cfb8));
  EXPECT_EQ(encrypted, "JA6Ch6x3KKcgZ4z/");  // pycryptodome AES-CFB8, Base64-encoded

  // No reset between operations: a second encryption continues the chain.
  EXPECT_NE(cipher.EncryptString(plain), encrypted);
  cipher.Reset();
  EXPECT_EQ(cipher.DecryptString(encrypted), plain);

  cipher.Reset();
  const std::u16string wide = cipher.EncryptUnicodeString(u"\u00E9t\u00E9");
  cipher.Reset();
  EXPECT_EQ(cipher.DecryptUnicodeString(wide), u"\u00E9t\u00E9");
}

}  // namespace
}  // namespace velsor
