// Base64: RFC 4648 encoding, the decoder's fixed leniency, and robustness on arbitrary input.

#include "crypto/base64.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/hex.h"

namespace velsor {
namespace {

TEST(Base64, Rfc4648Section10BothWays) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
  };
  for (const auto& [plain, encoded] : cases) {
    EXPECT_EQ(Base64EncodeAnsi(plain), encoded);
    EXPECT_EQ(Base64DecodeAnsi(encoded), plain);
  }
  EXPECT_EQ(Base64EncodeAnsi(std::string(1, '\0')), "AA==");
  EXPECT_EQ(Base64EncodeAnsi("\xFB\xFF\xBF"), "+/+/");
}

TEST(Base64, EncodedLengthIsAMultipleOfFour) {
  for (std::size_t n = 0; n < 40; ++n) {
    EXPECT_EQ(Base64EncodeAnsi(std::string(n, 'x')).size(), (n + 2) / 3 * 4);
  }
}

TEST(Base64, DecoderLeniency) {
  struct Case {
    std::string text;
    std::string bytes;  // hex
  };
  const Case cases[] = {
      {"YQ==", "61"},
      {"YWI=", "6162"},
      {"YWJj", "616263"},
      {"YWI", ""},                // shorter than one quartet
      {"YWJjZA", "616263"},       // characters after the last whole quartet are ignored
      {"YQ==YWJj", "61616263"},   // a padded quartet does not end decoding
      {"=AAA", "fc0000"},         // "=" enters the arithmetic as 255
      {"Y=AA", "6ff000"},
      {"Y WJ", "600589"},         // a foreign character in the first quartet counts as zero
      {"YWJjY-J-", "616263616263"}, // ... later it keeps the value of the previous quartet
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(test::Hex(test::Ascii(Base64DecodeAnsi(c.text))), c.bytes);
  }
}

TEST(Base64, UnicodeForms) {
  EXPECT_EQ(Base64DecodeUnicode(u"YWJj"), std::u16string(1, static_cast<char16_t>(0x6261)));  // odd byte dropped
  EXPECT_EQ(Base64EncodeUnicode(u"a"), u"YQA=");
  EXPECT_EQ(Base64DecodeUnicode(Base64EncodeUnicode(u"\u00E9\U0001F600")), u"\u00E9\U0001F600");
  EXPECT_EQ(Base64DecodeUnicode(u"YQ\u00C1A"), Base64DecodeUnicode(u"YQAA"));  // non-ASCII is foreign
}

TEST(Base64, DecoderStaysInBoundsOnArbitraryInput) {
  // The sanitizer build turns any stray read or write into a failure.
  std::mt19937 random(1234);
  const std::string adversarial = "====\xFF\x80+/=A";
  for (std::size_t length = 0; length < 300; ++length) {
    std::string text(length, '\0');
    for (auto& c : text) c = static_cast<char>(random());
    std::string written(length / 4 * 3, '\0');
    EXPECT_LE(Base64DecodeBytes(text.data(), static_cast<int32_t>(text.size()), written.data()),
              static_cast<int32_t>(written.size()));
    std::string patterned(length, '\0');
    for (std::size_t i = 0; i < length; ++i) patterned[i] = adversarial[(i * 7) % adversarial.size()];
    EXPECT_LE(Base64DecodeAnsi(patterned).size(), length / 4 * 3);
  }
  EXPECT_EQ(Base64DecodeBytes("YWJj", -4, nullptr), 0);
  EXPECT_EQ(Base64EncodeBytes("abc", -1, nullptr), 0);
}

}  // namespace
}  // namespace velsor
