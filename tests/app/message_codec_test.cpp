// The message codec: envelope, key derivation and the failures a hex text can reach.

#include "app/message_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/hex_text.h"
#include "app/random_bytes.h"
#include "crypto/ciphers/rc4.h"
#include "crypto/hashes/md4.h"
#include "crypto/hashes/md5.h"

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
    EXPECT_EQ(DecryptMessage(c.hex, u"pass", md5, rc4), c.text);
    EXPECT_FALSE(rc4.Initialized());  // burnt after the run
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
  EXPECT_EQ(DecryptMessage(first, u"pass", md4, rc4), text);
  EXPECT_EQ(DecryptMessage(u"\r\n  " + second + u" \t\r\n", u"pass", md4, rc4), text);  // surrounding blanks ignored
}

TEST(MessageCodec, EnvelopesWithoutCiphertextFail) {
  Rc4 rc4;
  Md5 md5;
  for (const std::u16string hex : {u"", u"000102030405", u"0001020304050607"}) {
    EXPECT_THROW(DecryptMessage(hex, u"pass", md5, rc4), MessageError) << hex.size();
  }
  try {
    DecryptMessage(u"0001020304050607", u"pass", md5, rc4);
  } catch (const MessageError& e) {
    EXPECT_STREQ(e.what(), "the hex text holds 8 bytes; RC4 needs at least 9 (8 salt + 1)");
  }
  EXPECT_THROW(EncryptMessage(u"", u"pass", md5, rc4, FixedRandom), MessageError);
}

TEST(MessageCodec, KeyIsTheDigestOfSaltAndPassphraseBytes) {
  // A passphrase with a trailing space, or differing only in characters the
  // code page lacks: the first derives another key, the second the same.
  Rc4 rc4;
  Md5 md5;
  const auto plain = EncryptMessage(u"abc", u"pass", md5, rc4, FixedRandom);
  EXPECT_NE(EncryptMessage(u"abc", u"pass ", md5, rc4, FixedRandom), plain);
  EXPECT_EQ(EncryptMessage(u"abc", u"pass\u4E00", md5, rc4, FixedRandom),
            EncryptMessage(u"abc", u"pass\u4E01", md5, rc4, FixedRandom));
}

TEST(MessageCodec, WrongPassphraseAndLostDigitsAreNotDetected) {
  Rc4 rc4;
  Md5 md5;
  const std::u16string hex = u"01000302050407067C0173BA0050";
  EXPECT_NE(DecryptMessage(hex, u"Pass", md5, rc4), u"abc");
  // One digit lost: the last group of three digits becomes a smaller code unit.
  const auto shortened = DecryptMessage(hex.substr(0, hex.size() - 1), u"pass", md5, rc4);
  EXPECT_EQ(shortened.size(), 3U);
  EXPECT_EQ(shortened.substr(0, 2), u"ab");
  EXPECT_NE(shortened, u"abc");
}

TEST(MessageCodec, EffectiveKeySizeIsTheSmallerSize) {
  Rc4 rc4;
  Md5 md5;
  EXPECT_EQ(EffectiveKeySize(rc4, md5), 128);
  EXPECT_EQ(IvBytes(rc4), 0U);
}

TEST(MessageCodec, TrimRemovesControlsAndSpacesAtBothEnds) {
  EXPECT_EQ(TrimControls(u"\r\n\t \x01" u"AB CD\x1F "), u"AB CD");
  EXPECT_EQ(TrimControls(u" \r\n"), u"");
  EXPECT_EQ(TrimControls(u"\u00A0x\u00A0"), u"\u00A0x\u00A0");  // no-break space is above U+0020
}

}  // namespace
}  // namespace velsor
