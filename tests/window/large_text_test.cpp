// A large text is kept in the codec's form and cut into pieces for the view:
// every character must come back, in order, whatever the line breaks.

#include "window/large_text.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <string>

#include "window/large_text_view.h"

namespace velsor {
namespace {

constexpr qsizetype kPiece = LargeText::kPieceChars;

std::u16string Digits(std::size_t count) {
  std::u16string text(count, u'0');
  for (std::size_t i = 0; i < count; ++i) text[i] = static_cast<char16_t>(u'0' + i % 10);
  return text;
}

// The pieces joined, line separators left out; and the text, CR LF left out.
std::u16string JoinedPieces(const LargeText& text) {
  std::u16string joined;
  for (qsizetype i = 0; i < text.PieceCount(); ++i) {
    const QString piece = text.PieceText(i);
    EXPECT_LE(piece.size(), kPiece + 1) << "piece " << i;
    if (!piece.isEmpty()) {
      EXPECT_FALSE(piece.back().isHighSurrogate()) << "piece " << i;
    }
    for (QChar c : piece)
      if (c != QChar::LineSeparator) joined.push_back(c.unicode());
  }
  return joined;
}

std::u16string WithoutBreaks(std::u16string_view text) {
  std::u16string out;
  for (char16_t c : text)
    if (c != u'\r' && c != u'\n') out.push_back(c);
  return out;
}

TEST(LargeTextTest, KeepsEveryCharacterWithCrLfBreaksAndCutsPiecesSafely) {
  const std::u16string line = Digits(3 * kPiece + 17);
  const std::u16string letter = [] {
    std::u16string text;
    while (text.size() < 5 * kPiece) text += u"meet at noon by the old bridge\r\n";
    return text;
  }();
  const struct {
    const char* name;
    std::u16string given;
    std::u16string codec;  // the same text with CR LF breaks
  } cases[] = {
      {"empty", u"", u""},
      {"one long line", line, line},
      {"many short lines with CR LF", letter, letter},
      {"LF, CR, U+2028 and U+2029 become CR LF", u"a\nb\rc\u2028d\u2029e\r\n", u"a\r\nb\r\nc\r\nd\r\ne\r\n"},
      {"LF CR is two breaks", u"a\n\rb", u"a\r\n\r\nb"},
      {"a CR LF across a piece's edge stays whole", Digits(kPiece - 1) + u"\r\n" + line,
       Digits(kPiece - 1) + u"\r\n" + line},
      {"a surrogate pair across a piece's edge stays whole", Digits(kPiece - 1) + u"\U0001F600" + line,
       Digits(kPiece - 1) + u"\U0001F600" + line},
      {"long lines between short ones", u"x\r\n" + line + u"\r\ny\r\n" + line, u"x\r\n" + line + u"\r\ny\r\n" + line},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const LargeText text(SecretText(c.given.data(), c.given.size()));
    ASSERT_FALSE(text.IsAscii());
    EXPECT_EQ(text.Wide(), c.codec);
    EXPECT_EQ(text.CodecText().view(), c.codec);
    EXPECT_EQ(text.Text(u"\r\n"), QString::fromStdU16String(c.codec));
    EXPECT_EQ(JoinedPieces(text), WithoutBreaks(c.codec));
    EXPECT_GE(text.PieceCount(), static_cast<qsizetype>(c.codec.size() / (kPiece + 1)));
  }
}

TEST(LargeTextTest, ALongLineTakesOnePieceForEveryPieceLengthBegun) {
  for (const std::size_t size : {std::size_t(2 * kPiece), std::size_t(2 * kPiece + 1), std::size_t(3 * kPiece + 17)}) {
    const std::u16string line = Digits(size);
    const qsizetype expected = static_cast<qsizetype>((size + kPiece - 1) / kPiece);
    EXPECT_EQ(LargeText(SecretText(line.data(), line.size())).PieceCount(), expected) << size;
    EXPECT_EQ(LargeText(std::string(line.begin(), line.end())).PieceCount(), expected) << size << " in ASCII";
  }
}

TEST(LargeTextTest, AnAsciiTextReadsAsTheSameCharacters) {
  const std::u16string digits = Digits(2 * kPiece + 5);
  const LargeText text(std::string(digits.begin(), digits.end()));
  ASSERT_TRUE(text.IsAscii());
  EXPECT_EQ(text.Size(), static_cast<qsizetype>(digits.size()));
  EXPECT_EQ(text.CodecText().view(), digits);
  EXPECT_EQ(text.Text(u"\n"), QString::fromStdU16String(digits));
  EXPECT_EQ(JoinedPieces(text), digits);
  EXPECT_EQ(text.PieceCount(), 3);
  EXPECT_FALSE(text.IsBlank());
  EXPECT_TRUE(LargeText(std::string(" \t ")).IsBlank());
}

TEST(LargeTextViewTest, ScrollsFromTheFirstPieceToTheLastAndBack) {
  LargeTextView view;
  view.resize(400, 200);
  view.show();
  const std::u16string line = Digits(10 * kPiece);
  view.SetText(std::make_shared<const LargeText>(SecretText(line.data(), line.size())));
  EXPECT_EQ(view.TopPiece(), 0);
  view.ScrollLines(-5);
  EXPECT_EQ(view.TopPiece(), 0);
  view.ScrollPages(1);
  view.ScrollLines(1000000);  // past the end: stops at the last piece
  EXPECT_EQ(view.TopPiece(), 9);
  view.ScrollToStart();
  EXPECT_EQ(view.TopPiece(), 0);
  view.ScrollToEnd();
  EXPECT_GE(view.TopPiece(), 8);
  view.SetText(nullptr);
  view.ScrollLines(3);  // nothing to show, nothing to do
  EXPECT_EQ(view.TopPiece(), 0);
}

}  // namespace
}  // namespace velsor
