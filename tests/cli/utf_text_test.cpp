// The CLI's text edges: strict UTF-8, line breaks, raw UTF-16LE.

#include "cli/utf_text.h"

#include <gtest/gtest.h>

namespace velsor::cli {
namespace {

TEST(Utf8, DecodesValidTextAndRefusesEveryMalformedForm) {
  EXPECT_EQ(Utf8ToUtf16("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), std::u16string(u"a\u00E9\u20AC\U0001F600"));
  const char* invalid[] = {
      "\xC3",              // truncated
      "\xE2\x82",          // truncated
      "\xC0\xAF",          // overlong
      "\xE0\x80\xAF",      // overlong
      "\xED\xA0\x80",      // surrogate
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "\x80",              // stray continuation
      "\xC3\x28",          // bad continuation
      "\xFF",
  };
  for (const char* bytes : invalid) EXPECT_FALSE(Utf8ToUtf16(bytes).has_value()) << bytes;
}

TEST(Utf8, EncodesAndReplacesUnpairedSurrogates) {
  EXPECT_EQ(Utf16ToUtf8(u"a\u00E9\u20AC\U0001F600"), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  const std::u16string broken = {u'x', static_cast<char16_t>(0xD800), u'y', static_cast<char16_t>(0xDC00)};
  EXPECT_EQ(Utf16ToUtf8(broken), "x\xEF\xBF\xBDy\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\0')), std::string(1, '\0'));
}

TEST(LineBreaks, LfBecomesCrLfAndBack) {
  EXPECT_EQ(ToCrLf(u"a\nb\r\nc\n\n"), u"a\r\nb\r\nc\r\n\r\n");
  EXPECT_EQ(ToCrLf(u"\n"), u"\r\n");
  EXPECT_EQ(ToLf(u"a\r\nb\rc\r\n"), u"a\nb\rc\n");
}

TEST(Utf16Le, RawBytesBothWays) {
  EXPECT_EQ(Utf16LeBytesToText(std::string("a\0\xAC\x20", 4)), std::u16string(u"a\u20AC"));
  EXPECT_FALSE(Utf16LeBytesToText("abc").has_value());
  EXPECT_EQ(TextToUtf16LeBytes(u"a\u20AC"), std::string("a\0\xAC\x20", 4));
}

}  // namespace
}  // namespace velsor::cli
