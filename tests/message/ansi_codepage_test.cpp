// Passphrase bytes in Windows-1252 (the Windows code page tables, as Python's cp1252 codec has them).

#include "message/ansi_codepage.h"

#include <gtest/gtest.h>

namespace velsor {
namespace {

TEST(AnsiCodePage, MapsLatin1AndTheWindowsCharactersOfTheHighControls) {
  struct Case {
    std::u16string text;
    std::string bytes;
  };
  const Case cases[] = {
      {u"pass", "pass"},
      {u"\u00A0\u00E9\u00FF", "\xA0\xE9\xFF"},
      {u"\u20AC\u201A\u0192\u2122\u0178", "\x80\x82\x83\x99\x9F"},
      {u"\u0081\u008D\u008F\u0090\u009D", "\x81\x8D\x8F\x90\x9D"},  // unassigned in the code page: kept
      {u"\u0080\u009F\u4E00\u0100", "????"},                         // not in the code page
      {u"a\U0001F600b", "a?b"},                                      // one character, one "?"
      {std::u16string(1, static_cast<char16_t>(0xDC00)), "?"},        // unpaired surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(ToAnsiCodePage(c.text).view(), c.bytes);
}

TEST(AnsiCodePage, AgreesWithTheWholeCodePage) {
  // Every byte of Windows-1252 back from its character, except the five
  // unassigned ones, which map to the C1 control of the same value.
  const char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                              0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                              0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                              0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  for (int b = 0; b < 256; ++b) {
    const char16_t unit = (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : static_cast<char16_t>(b);
    EXPECT_EQ(ToAnsiCodePage(std::u16string(1, unit)).view(), std::string(1, static_cast<char>(b))) << b;
  }
}

}  // namespace
}  // namespace velsor
