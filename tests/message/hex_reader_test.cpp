// The hex text reader that the window and velsor-cli share: what it accepts,
// how it names what it refuses, and that pieces of any size read alike.

#include "message/hex_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "message/message_error.h"
#include "message/utf8.h"
#include "support/mixed_texts.h"

namespace velsor {
namespace {

// Reads text in pieces of the given size; returns the bytes or the error text.
template <typename CharT>
std::string ReadInPieces(std::basic_string_view<CharT> text, std::size_t piece, std::size_t capacity = 1 << 16,
                         SimdLevel level = ActiveSimdLevel()) {
  HexTextReader reader(level);
  std::vector<uint8_t> bytes;
  try {
    for (std::size_t at = 0; at < text.size();) {
      auto rest = text.substr(at, std::min(piece, text.size() - at));
      std::vector<uint8_t> out(capacity);
      const auto step = reader.Read(rest, out.data(), out.size());
      bytes.insert(bytes.end(), out.begin(), out.begin() + static_cast<std::ptrdiff_t>(step.written));
      at += step.consumed;
    }
    reader.Finish();
  } catch (const MessageError& e) {
    return std::string("error: ") + e.what();
  }
  return std::string(bytes.begin(), bytes.end());
}

TEST(HexReader, AcceptsDigitsInEitherCaseWithSpacesAndLineBreaksAnywhere) {
  // Groups of four digits are little-endian code units: 6100 is U+0061.
  const std::string abc("a\0b\0", 4);
  const char* inputs[] = {
      "00610062",
      "00610062\n",
      "0061 0062",
      "00 61\r\n00\t62",
      "0\n0\n6\n1\n0\n0\n6\n2",
      "00610062 \v\f",
      "\x01\x1F  00610062 \x02\r\n",  // other controls only around the text, as a trimmed text has them
  };
  for (const char* input : inputs) {
    EXPECT_EQ(ReadInPieces(std::string_view(input), 1000), abc) << input;
    std::u16string wide(input, input + std::char_traits<char>::length(input));
    EXPECT_EQ(ReadInPieces(std::u16string_view(wide), 1000), abc) << input;
  }
  EXPECT_EQ(ReadInPieces(std::string_view("ABCDef09"), 1000), "\xCD\xAB\x09\xEF");
}

TEST(HexReader, NamesTheFirstCharacterItRefusesWithItsPosition) {
  struct Case {
    std::string input;  // UTF-8
    std::string error;
  };
  const Case cases[] = {
      {"0061006200630064G", "Not a hex text: 'G' at position 17"},
      {"0061 0062\n00x3", "Not a hex text: 'x' at position 13"},
      {"0061\x01"
       "0062",
       "Not a hex text: U+0001 at position 5"},  // a control between digits
      {"0061\x7F", "Not a hex text: U+007F at position 5"},
      {"00\xC3\xA9", "Not a hex text: U+00E9 at position 3"},         // two-byte character
      {"0\xE2\x80\x94", "Not a hex text: U+2014 at position 2"},      // em dash, three bytes
      {"\xF0\x9F\x98\x80", "Not a hex text: U+1F600 at position 1"},  // four bytes
      {"0061\xFF", "Not a hex text: byte 0xFF at position 5"},        // not UTF-8 at all
      {"0061\xC3", "Not a hex text: byte 0xC3 at position 5"},        // cut-off sequence
      {"\xEF\xBC\x90", "Not a hex text: U+FF10 at position 1"},       // fullwidth zero
      {"", "The hex text is empty"},
      {" \r\n\t", "The hex text is empty"},
      {"00610062006", "The hex text has 11 digits; a message has a multiple of 4: is part of it missing?"},
      {"0061 0062 00", "The hex text has 10 digits; a message has a multiple of 4: is part of it missing?"},
      {"A", "The hex text has 1 digit; a message has a multiple of 4: is part of it missing?"},
  };
  for (const auto& c : cases) {
    // Any piece size gives the same answer: a character split between pieces is still named whole.
    for (std::size_t piece : {1, 2, 3, 1000}) {
      EXPECT_EQ(ReadInPieces(std::string_view(c.input), piece), "error: " + c.error) << c.input << " / " << piece;
    }
  }
}

TEST(HexReader, NamesUtf16CharactersWholeAndCountsPositionsInCharacters) {
  struct Case {
    std::u16string input;
    std::string error;
  };
  const Case cases[] = {
      {u"0061\u00E9", "Not a hex text: U+00E9 at position 5"},
      {u"00\U0001F600", "Not a hex text: U+1F600 at position 3"},
      {u"0061\u00A0", "Not a hex text: U+00A0 at position 5"},  // a no-break space is not a space here
      {std::u16string(u"0061") + u'\0' + u"0062", "Not a hex text: U+0000 at position 5"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadInPieces(std::u16string_view(c.input), 1000), "error: " + c.error);
}

TEST(HexReader, StopsWhereTheCallerCutsAndResumesThere) {
  // A capacity of two bytes per call: one group at a time, whitespace carried over.
  const std::string text = "0001 0203\r\n0405 0607";
  const std::string expected("\x01\x00\x03\x02\x05\x04\x07\x06", 8);
  for (std::size_t piece : {1, 5, 100}) EXPECT_EQ(ReadInPieces(std::string_view(text), piece, 2), expected);
}

// Random texts read at every vector level and by the scalar reader: digits in
// both cases, whitespace, controls and refused characters anywhere (one at
// every position of a 64-digit text), in random pieces and room. The bytes or
// the error text agree.
TEST(HexReader, EveryLevelReadsRandomTextsAsTheScalarReaderDoes) {
  const std::vector<std::u16string> others = {u" ",    u"\r\n",   u"\t",     u"\v",        u"\x01",
                                              u"G",    u"g",      u"/",      u":",         u"@",
                                              u"`",    u"\u00E9", u"\u0130", u"\uFF10",    std::u16string(1, u'\0'),
                                              u"\x7F", u"\u0141", u"\u8030", u"\U0001F600"};
  std::mt19937 random(19);
  // Mostly whitespace between the digits, now and then anything else.
  const auto texts = test::MixedTexts(std::u16string(u"0123456789abcdefABCDEF"), others, 4, random, 2000, 200, 4);
  for (const std::u16string& text : texts) {
    std::string narrow;  // the same text in UTF-8
    for (std::size_t k = 0; k < text.size(); ++k) {
      char32_t c = text[k];
      if (c >= 0xD800 && c <= 0xDBFF) c = 0x10000 + ((c - 0xD800) << 10) + (text[++k] - 0xDC00);
      char bytes[4];
      narrow.append(bytes, PutUtf8(c, bytes));
    }
    const std::size_t piece = 1 + random() % 80;
    const std::size_t capacity = 2 + 2 * (random() % 40);
    const std::string scalar = ReadInPieces(std::u16string_view(text), piece, capacity, SimdLevel::kScalar);
    const std::string scalar_narrow = ReadInPieces(std::string_view(narrow), piece, capacity, SimdLevel::kScalar);
    for (const SimdLevel level : AvailableSimdLevels()) {
      ASSERT_EQ(ReadInPieces(std::u16string_view(text), piece, capacity, level), scalar)
          << static_cast<int>(level) << " / " << narrow;
      ASSERT_EQ(ReadInPieces(std::u16string_view(text), text.size() + 1, 1 << 16, level),
                ReadInPieces(std::u16string_view(text), text.size() + 1, 1 << 16, SimdLevel::kScalar));
      ASSERT_EQ(ReadInPieces(std::string_view(narrow), piece, capacity, level), scalar_narrow)
          << static_cast<int>(level) << " / " << narrow;
      ASSERT_EQ(ReadInPieces(std::string_view(narrow), narrow.size() + 1, 1 << 16, level),
                ReadInPieces(std::string_view(narrow), narrow.size() + 1, 1 << 16, SimdLevel::kScalar));
    }
  }
}

}  // namespace
}  // namespace velsor
