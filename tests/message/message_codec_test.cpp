// The message codec: envelope, key derivation and the failures a hex text can reach.

#include "message/message_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "crypto/ciphers/rc4.h"
#include "crypto/ciphers/rijndael.h"
#include "crypto/hashes/md4.h"
#include "crypto/hashes/md5.h"
#include "crypto/hashes/sha1.h"
#include "message/components_catalog.h"
#include "message/hex_text.h"
#include "message/random_bytes.h"
#include "support/hex.h"
#include "support/recording_cipher.h"

namespace velsor {
namespace {

// Salt 00 01 .. 07, then IV 10 11 .. (as many as asked).
void FixedRandom(void* out, std::size_t size) {
  auto* b = static_cast<uint8_t*>(out);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<uint8_t>(i < 8 ? i : 0x10 + (i - 8));
}

const std::u16string kTwoLines = u"Hello, world!\r\nLine 2";

TEST(MessageCodec, Rc4WithMd5MatchesIndependentValues) {
  // Computed independently with OpenSSL's MD5 and RC4.
  struct Case {
    std::u16string text;
    std::u16string hex;
  };
  const Case cases[] = {
      {u"abc", u"01000302050407067C0173BA0050"},
      {kTwoLines,
       u"01000302050407067C2873BD005F2E2AEBA53C3D5B85871199641E47CB8698DE7EA04E5A5752E99028D8A93D3669033A1442"},
  };
  Rc4 rc4;
  Md5 md5;
  for (const auto& c : cases) {
    EXPECT_EQ(EncryptMessage(c.text, u"pass", md5, rc4, FixedRandom), c.hex);
    EXPECT_EQ(DecryptMessage(c.hex, u"pass", md5, rc4).view(), c.text);
    EXPECT_EQ(DecryptMessage(std::string(c.hex.begin(), c.hex.end()), u"pass", md5, rc4).view(), c.text);
    EXPECT_FALSE(rc4.Initialized());  // burnt after the run
  }
}

TEST(MessageCodec, RijndaelWithSha1MatchesIndependentValues) {
  // Salt 00..07, IV 10..1F, passphrase "pass"; computed independently with OpenSSL.
  struct Case {
    std::u16string text;
    std::u16string hex;
  };
  const Case cases[] = {
      {u"abc", u"0100030205040706111013121514171619181B1A1D1C1F1E9DAFE0F78DD8"},
      {kTwoLines,
       u"0100030205040706111013121514171619181B1A1D1C1F1EDE26BD03F7C43A6F8E295177E7CB898B251D4C2FBEBE726B1D199606"
       u"CC4D09D7320995ED9FC8F6EC566B"},
  };
  Rijndael rijndael;
  Sha1 sha1;
  for (const auto& c : cases) {
    EXPECT_EQ(EncryptMessage(c.text, u"pass", sha1, rijndael, FixedRandom), c.hex);
    EXPECT_EQ(DecryptMessage(c.hex, u"pass", sha1, rijndael).view(), c.text);
    EXPECT_EQ(DecryptMessage(std::string(c.hex.begin(), c.hex.end()), u"pass", sha1, rijndael).view(), c.text);
    EXPECT_EQ(rijndael.CipherMode(), cmCBC);
  }
}

TEST(MessageCodec, EveryCipherWithEveryHashRoundTrips) {
  Component owner;
  CreateAlgorithmComponents(owner);
  const std::u16string text = u" Grüße\r\n\u00A0\t\U0001F600 ";
  for (Cipher* cipher : ListCiphers(owner)) {
    for (Hash* hash : ListHashes(owner)) {
      const std::u16string names = cipher->Algorithm() + u" / " + hash->Algorithm();
      SCOPED_TRACE(std::string(names.begin(), names.end()));
      const auto hex = EncryptMessage(text, u"pass", *hash, *cipher, SystemRandomBytes);
      // 8 salt bytes, one IV block (none for the stream cipher), 2 bytes per code unit.
      EXPECT_EQ(hex.size(), 2 * (8 + IvBytes(*cipher) + 2 * text.size()));
      EXPECT_EQ(DecryptMessage(hex, u"pass", *hash, *cipher).view(), text);
      EXPECT_FALSE(cipher->Initialized());
    }
  }
}

TEST(MessageCodec, KeyIsTheIndependentDigestOfSaltAndPassphrase) {
  // Digest of 00 01 .. 07 "pass": hashlib / pycryptodome (MD4) / PHP hash (RIPEMD-128, tiger192,3).
  const std::pair<std::u16string, std::string> digests[] = {
      {u"MD4", "6d63882a8c12f3a3325eb54e5e70099f"},
      {u"MD5", "31d72093d9ecc5776fb371b8f994f65b"},
      {u"SHA1", "5e2a4aedbcfe10d5498dcdcb9e4687111f86fcfb"},
      {u"SHA256", "52cdb8039df95f0c3e97f04fd211da71bff8c0fcdbeb5d5f3ec23c2544f9da94"},
      {u"SHA384", "cee08bf911bc23a950d68118191aa5e0a75d1db2e545f8bfecf487cd32612fe6bd2f65a19bbfdbad4c75e30e651e34fe"},
      {u"SHA512",
       "6daca6df58630e9b168c85824b95130a13f3e7dd781e329916cf6451c338031151e43e9da298573675d35280f7c1ae8166683df7ca9e74b"
       "6"
       "9df808d709e55627"},
      {u"RipeMD-160", "2f85bf569f844ef32c15d3af1e86b1c1e741cbc4"},
      {u"RipeMD-128", "81ef21b686ac5ead686e535c62b51295"},
      {u"Tiger", "c28cb6a6281753c6d6dce85d15493a40bd374ddd38b534e9"},
  };
  Component owner;
  CreateAlgorithmComponents(owner);
  test::RecordingCipher cipher;
  cipher.max_key_bits = 2048;
  for (const auto& [name, digest] : digests) {
    SCOPED_TRACE(std::string(name.begin(), name.end()));
    Hash* hash = nullptr;
    for (Hash* h : ListHashes(owner)) {
      if (h->Algorithm() == name) hash = h;
    }
    ASSERT_NE(hash, nullptr);
    EncryptMessage(u"abc", u"pass", *hash, cipher, FixedRandom);
    EXPECT_EQ(test::Hex(cipher.last_key), digest);
  }
}

TEST(MessageCodec, FreshRandomnessGivesDifferentMessagesThatBothDecrypt) {
  Rc4 rc4;
  Md4 md4;
  const std::u16string text = u"  spaces, a tab\t, \u00A0, \u00E9 and \U0001F600 \r\n";
  const auto first = EncryptMessage(text, u"pass", md4, rc4, SystemRandomBytes);
  const auto second = EncryptMessage(text, u"pass", md4, rc4, SystemRandomBytes);
  EXPECT_NE(first, second);
  EXPECT_EQ(first.size(), 4 * (4 + text.size()));
  EXPECT_EQ(DecryptMessage(first, u"pass", md4, rc4).view(), text);
  EXPECT_EQ(DecryptMessage(u"\r\n  " + second + u" \t\r\n", u"pass", md4, rc4).view(),
            text);  // surrounding blanks ignored
}

TEST(MessageCodec, EnvelopesTooShortForABlockCipherFail) {
  Rijndael rijndael;
  Sha1 sha1;
  const std::u16string digits = u"000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F";
  // Salt, IV and one UTF-16 code unit: 26 bytes at least.
  struct Case {
    std::size_t digits;
    const char* error;
  };
  const Case cases[] = {
      {0, "The hex text is empty"},
      {12, "Not a message for Rijndael: the hex text holds 6 bytes, a message needs at least 26"},
      {16, "Not a message for Rijndael: the hex text holds 8 bytes, a message needs at least 26"},
      {32, "Not a message for Rijndael: the hex text holds 16 bytes, a message needs at least 26"},
      {48, "Not a message for Rijndael: the hex text holds 24 bytes, a message needs at least 26"},
      {50, "The hex text has 50 digits; a message has a multiple of 4: is part of it missing?"},
  };
  for (const auto& c : cases) {
    try {
      DecryptMessage(digits.substr(0, c.digits), u"pass", sha1, rijndael);
      ADD_FAILURE() << c.digits << " digits decrypted";
    } catch (const MessageError& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
  }
  EXPECT_EQ(DecryptMessage(digits.substr(0, 52), u"pass", sha1, rijndael).size(), 1U);
}

TEST(MessageCodec, AStreamCipherMessageReadWithABlockCipherIsGarbageNotAnError) {
  Rc4 rc4;
  Rijndael rijndael;
  Md5 md5;
  const auto hex = EncryptMessage(u"a longer message of some length", u"pass", md5, rc4, FixedRandom);
  EXPECT_NE(DecryptMessage(hex, u"pass", md5, rijndael).view(), u"a longer message of some length");
}

TEST(MessageCodec, EnvelopesWithoutCiphertextFail) {
  Rc4 rc4;
  Md5 md5;
  for (const std::u16string hex : {u"", u" \r\n", u"000102030405", u"0001020304050607"}) {
    EXPECT_THROW(DecryptMessage(hex, u"pass", md5, rc4), MessageError) << hex.size();
  }
  try {
    DecryptMessage(u"0001020304050607", u"pass", md5, rc4);
    ADD_FAILURE() << "an envelope without ciphertext decrypted";
  } catch (const MessageError& e) {
    EXPECT_STREQ(e.what(), "Not a message for RC4: the hex text holds 8 bytes, a message needs at least 10");
  }
  EXPECT_THROW(EncryptMessage(u"", u"pass", md5, rc4, FixedRandom), MessageError);
}

TEST(MessageCodec, KeyIsTheDigestOfSaltAndPassphraseBytes) {
  // A passphrase with a trailing space derives another key; on decryption, a
  // character the code page lacks counts as "?", as other writers hash it.
  Rc4 rc4;
  Md5 md5;
  const auto plain = EncryptMessage(u"abc", u"pass", md5, rc4, FixedRandom);
  EXPECT_NE(EncryptMessage(u"abc", u"pass ", md5, rc4, FixedRandom), plain);
  const auto question = EncryptMessage(u"abc", u"pass?", md5, rc4, FixedRandom);
  EXPECT_EQ(DecryptMessage(question, u"pass\u4E00", md5, rc4).view(), u"abc");
  EXPECT_EQ(DecryptMessage(question, u"pass\U0001F600", md5, rc4).view(), u"abc");
}

TEST(MessageCodec, EncryptionRefusesPassphrasesTheCodePageCannotHold) {
  Rc4 rc4;
  Md5 md5;
  struct Case {
    std::u16string passphrase;
    const char* shown;  // the character and its position in characters
  };
  const Case cases[] = {
      {u"\u043F\u0430\u0440\u043E\u043B\u044C", "'\xD0\xBF' (position 1)"},  // Cyrillic, first character
      {u"caf\u00E9 \u5BC6", "'\xE5\xAF\x86' (position 6)"},                  // e-acute is in the code page
      {u"\U0001F600ab\u0100", "'\xF0\x9F\x98\x80' (position 1)"},            // one character, two code units
      {u"a\U0001F600\u0100", "'\xF0\x9F\x98\x80' (position 2)"},
      {u"ab\u0080", "U+0080 (position 3)"},  // a C1 control: Windows-1252 has the euro sign there
      {std::u16string(u"x") + static_cast<char16_t>(0xDC00), "U+DC00 (position 2)"},
  };
  for (const auto& c : cases) {
    try {
      EncryptMessage(u"abc", c.passphrase, md5, rc4, FixedRandom);
      ADD_FAILURE() << c.shown;
    } catch (const MessageError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("The passphrase holds ") + c.shown +
                                           ", which the message format cannot represent; use characters of "
                                           "Windows-1252 (Latin letters, digits, punctuation)");
    }
    EXPECT_FALSE(rc4.Initialized());
  }
  // Every character of the code page passes, the euro sign and the others at 0x80-0x9F included.
  EXPECT_NO_THROW(EncryptMessage(u"abc", u"\u20AC\u0178\u00FF~ \t", md5, rc4, FixedRandom));
}

TEST(MessageCodec, AWrongPassphraseGoesUnnoticedLostDigitsDoNot) {
  Rc4 rc4;
  Md5 md5;
  const std::u16string hex = u"01000302050407067C0173BA0050";
  EXPECT_NE(DecryptMessage(hex, u"Pass", md5, rc4).view(), u"abc");
  // Lost digits are refused: a message always has a multiple of 4.
  for (std::size_t lost = 1; lost <= 3; ++lost) {
    try {
      DecryptMessage(hex.substr(0, hex.size() - lost), u"pass", md5, rc4);
      ADD_FAILURE() << lost;
    } catch (const MessageError& e) {
      EXPECT_EQ(std::string(e.what()), "The hex text has " + std::to_string(28 - lost) +
                                           " digits; a message has a multiple of 4: is part of it missing?");
    }
  }
}

TEST(MessageCodec, EffectiveKeySizeIsTheSmallerSize) {
  Rc4 rc4;
  Md5 md5;
  EXPECT_EQ(EffectiveKeySize(rc4, md5), 128);
  EXPECT_EQ(IvBytes(rc4), 0U);
}

TEST(MessageCodec, TrimRemovesControlsAndSpacesAtBothEnds) {
  EXPECT_EQ(TrimControls(u"\r\n\t \x01"
                         u"AB CD\x1F "),
            u"AB CD");
  EXPECT_EQ(TrimControls(u" \r\n"), u"");
  EXPECT_EQ(TrimControls(u"\u00A0x\u00A0"), u"\u00A0x\u00A0");  // no-break space is above U+0020
}

}  // namespace
}  // namespace velsor
