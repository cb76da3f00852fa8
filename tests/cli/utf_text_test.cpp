// The CLI's text edges: strict UTF-8, line breaks, raw UTF-16LE.

#include "cli/utf_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "support/mixed_texts.h"

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

// The streamed conversions agree with the whole ones wherever the pieces are
// cut: inside a sequence, between CR and LF, between the halves of a pair,
// and with the output room ending inside a pair or a CR LF.
TEST(Utf8Stream, PiecesCutAnywhereGiveTheWholeConversion) {
  const std::string text = "a\r\nb\n\xC3\xA9\n\xE2\x82\xAC\xF0\x9F\x98\x80\r\rz\n\n123456789abcdef\xF0\x9F\x98\x80";
  const std::u16string expected = ToCrLf(*Utf8ToUtf16(text));
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    for (const std::size_t room : {2, 4, 6, 64}) {
      Utf8ToUtf16LeStream stream;
      std::string got;
      uint8_t out[64];
      auto drain = [&](std::string_view& piece, bool at_end) {
        for (;;) {
          const std::size_t n = stream.Convert(piece, out, room, at_end);
          got.append(reinterpret_cast<const char*>(out), n);
          if (n == 0 && !stream.HasCarry()) return;
        }
      };
      const std::string head = text.substr(0, cut);
      std::string_view first(head);
      drain(first, false);
      const std::string rest = std::string(first) + text.substr(cut);  // what stays, then the next bytes
      std::string_view second(rest);
      drain(second, true);
      EXPECT_EQ(got, TextToUtf16LeBytes(expected)) << cut << " / " << room;
    }
  }
}

TEST(Utf8Stream, NamesTheOffsetOfTheFirstBadSequenceAcrossPieces) {
  Utf8ToUtf16LeStream stream;
  uint8_t out[64];
  std::string_view first("abcd\xE2\x82");  // a sequence that continues in the next piece...
  EXPECT_EQ(stream.Convert(first, out, sizeof out, false), 8U);
  EXPECT_EQ(first, "\xE2\x82");          // ...stays for it
  std::string_view second("\xE2\x82(");  // the caller hands it back with the next bytes: not a continuation
  try {
    stream.Convert(second, out, sizeof out, true);
    ADD_FAILURE();
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()), "the input is not valid UTF-8 at byte offset 4 (use --utf16 for raw UTF-16LE)");
  }
}

TEST(Utf16Stream, PiecesCutAnywhereGiveTheWholeConversion) {
  const std::u16string text = {u'a',  u'\r',  u'\n', u'b',   u'\r', 0xD83D, 0xDE00, u'\r', u'\r',
                               u'\n', 0xD800, u'x',  0xDC00, u'\n', 0x20AC, u'\r',  0xD83D};
  const std::string bytes = TextToUtf16LeBytes(text);
  const std::string expected = Utf16ToUtf8(ToLf(text));
  for (std::size_t cut = 0; cut <= bytes.size(); cut += 2) {
    Utf16LeToUtf8Stream stream;
    char out[128];
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    std::string got(out, stream.Convert(data, cut, false, out));
    got.append(out, stream.Convert(data + cut, bytes.size() - cut, true, out));
    EXPECT_EQ(got, expected) << cut;
  }
}

// UTF-8 through the stream in pieces of piece bytes with room bytes of output
// per call, as velsor-cli feeds it: the UTF-16LE bytes or the error text.
std::string StreamUtf8(const std::string& text, SimdLevel level, std::size_t piece, std::size_t room) {
  Utf8ToUtf16LeStream stream(level);
  std::vector<uint8_t> out(room);
  std::string got;
  std::string pending;
  try {
    for (std::size_t at = 0; at < text.size() || got.empty();) {
      const std::size_t n = std::min(piece, text.size() - at);
      pending += text.substr(at, n);
      at += n;
      std::string_view view(pending);
      for (;;) {
        const std::size_t written = stream.Convert(view, out.data(), room, at == text.size());
        got.append(reinterpret_cast<const char*>(out.data()), written);
        if (written == 0 && !stream.HasCarry()) break;
      }
      pending = std::string(view);
      if (at == text.size()) break;
    }
  } catch (const std::exception& e) {
    return std::string("error: ") + e.what();
  }
  return got;
}

// UTF-16LE bytes through the stream in pieces of piece units.
std::string StreamUtf16(const std::string& bytes, SimdLevel level, std::size_t piece) {
  Utf16LeToUtf8Stream stream(level);
  std::string got;
  std::vector<char> out(3 * piece + 3);
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  std::size_t at = 0;
  do {
    const std::size_t n = std::min(2 * piece, bytes.size() - at);
    got.append(out.data(), stream.Convert(data + at, n, at + n == bytes.size(), out.data()));
    at += n;
  } while (at < bytes.size());
  return got;
}

// Random texts at every vector level and in the scalar code: ASCII with line
// breaks, multi-byte characters and invalid sequences anywhere (one at every
// offset of a 64-byte line), in random pieces and room.
TEST(Utf8Stream, EveryLevelConvertsRandomTextsAsTheScalarCodeDoes) {
  const std::vector<std::string> others = {
      "\n",   "\r",       "\r\n",         "\xC3\xA9",         "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x7F",
      "\x80", "\xC0\x80", "\xED\xA0\x80", "\xF5\x80\x80\x80", "\xC3",         "\xE2\x82(",        "\xFF"};
  std::mt19937 random(20);
  const auto texts = test::MixedTexts(test::PrintableAscii<std::string>(), others, 6, random, 1500, 300, 6);
  for (const std::string& text : texts) {
    const std::size_t piece = 1 + random() % 100;
    const std::size_t room = 2 + 2 * (random() % 80);
    const std::string scalar = StreamUtf8(text, SimdLevel::kScalar, piece, room);
    const std::string whole = StreamUtf8(text, SimdLevel::kScalar, text.size() + 1, 2 * text.size() + 4);
    for (const SimdLevel level : AvailableSimdLevels()) {
      ASSERT_EQ(StreamUtf8(text, level, piece, room), scalar) << static_cast<int>(level) << " / " << text;
      ASSERT_EQ(StreamUtf8(text, level, text.size() + 1, 2 * text.size() + 4), whole) << static_cast<int>(level);
    }
  }
}

TEST(Utf16Stream, EveryLevelConvertsRandomTextsAsTheScalarCodeDoes) {
  const std::vector<std::u16string> others = {u"\r",         u"\n",     u"\r\n",   u"\u007F",       u"\u0080",
                                              u"\u00FF",     u"\u0100", u"\u010D", u"\u20AC",       u"\uFF0D",
                                              u"\U0001F600", {0xD83D},  {0xDE00},  {0xDE00, 0xD83D}};
  std::mt19937 random(21);
  const auto texts = test::MixedTexts(test::PrintableAscii<std::u16string>(), others, 3, random, 1500, 300, 6);
  for (const std::u16string& text : texts) {
    const std::string bytes = TextToUtf16LeBytes(text);
    const std::size_t piece = 1 + random() % 100;
    const std::string scalar = StreamUtf16(bytes, SimdLevel::kScalar, piece);
    ASSERT_EQ(StreamUtf16(bytes, SimdLevel::kScalar, text.size() + 1), scalar);  // pieces read as the whole
    for (const SimdLevel level : AvailableSimdLevels()) {
      ASSERT_EQ(StreamUtf16(bytes, level, piece), scalar) << static_cast<int>(level);
      ASSERT_EQ(StreamUtf16(bytes, level, text.size() + 1), scalar) << static_cast<int>(level);
    }
  }
}

}  // namespace
}  // namespace velsor::cli
