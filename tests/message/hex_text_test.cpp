// Hex text: four uppercase digits per code unit, and the reading of short final groups.

#include "message/hex_text.h"

#include <gtest/gtest.h>

namespace velsor {
namespace {

TEST(HexText, WritesFourUppercaseDigitsPerCodeUnit) {
  EXPECT_EQ(StringToHex(u"abc"), u"006100620063");
  EXPECT_EQ(StringToHex(std::u16string(1, u'\u00FF')), u"00FF");
  EXPECT_EQ(StringToHex(std::u16string(1, u'\uFFFF')), u"FFFF");
  EXPECT_EQ(StringToHex(std::u16string(1, u'\0')), u"0000");
  EXPECT_EQ(StringToHex(std::u16string(1, static_cast<char16_t>(0xD800))), u"D800");  // unpaired surrogate
  EXPECT_EQ(StringToHex(u""), u"");
}

TEST(HexText, ReadsGroupsOfFourAndShortFinalGroups) {
  struct Case {
    std::u16string hex;
    std::u16string text;
  };
  const Case cases[] = {
      {u"006100620063", u"abc"},
      {u"00610062006", std::u16string(u"ab") + u'\u0006'},  // final 3 digits: one smaller unit
      {u"006100620", u"ab"},                                 // final single digit dropped
      {u"0061AB", u"a\u00AB"},
      {u"7", u""},
      {u"", u""},
      {u"00ff", std::u16string(1, u'\u00FF')},  // lowercase digits are still digits here
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HexToString(c.hex), c.text);
  }
  EXPECT_THROW(HexToString(u"00G1"), HexConversionError);
}

TEST(HexText, RoundTripsEveryCodeUnit) {
  std::u16string all;
  for (uint32_t u = 0; u <= 0xFFFF; ++u) all.push_back(static_cast<char16_t>(u));
  EXPECT_EQ(HexToString(StringToHex(all)), all);
}

TEST(HexText, IsHexStringAcceptsOnlyUppercaseDigits) {
  EXPECT_TRUE(IsHexString(u"00FF"));
  EXPECT_FALSE(IsHexString(u"00ff"));
  EXPECT_FALSE(IsHexString(u"00 FF"));
  EXPECT_FALSE(IsHexString(u"00FF\r\n00FF"));
  EXPECT_TRUE(IsHexString(u""));
  EXPECT_TRUE(IsHexString(u"ABC"));
  EXPECT_FALSE(IsHexString(u"G"));
  EXPECT_FALSE(IsHexString(u"\uFF10"));  // fullwidth zero
}

}  // namespace
}  // namespace velsor
