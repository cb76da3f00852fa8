// The judgements about the memo's text behind the status line, Enter and
// Copy, and the wipe that works only on a text the window owns alone.

#include "window/memo_text.h"

#include <gtest/gtest.h>

#include <QString>
#include <string>

namespace velsor {
namespace {

TEST(MemoTextTest, CountsCharactersAsAPersonDoes) {
  const struct {
    const char16_t* text;
    qsizetype characters;
  } cases[] = {
      {u"", 0},
      {u"abc", 3},
      {u"a\r\nb", 3},       // CR LF is one line break
      {u"a\nb\rc", 5},      // a lone LF or CR is one too
      {u"\U0001F600x", 2},  // a surrogate pair is one character
      {u"\xD800x", 2},      // an unpaired surrogate still counts
      {u"\r\n\r\n", 2},
      {u"\xDC00\xD800", 2},  // a low surrogate first, a high one last: no pair
      {u"\n\r", 2},          // LF CR is two breaks
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
    EXPECT_EQ(CountCharacters(std::u16string_view(c.text)), c.characters);
  }
}

TEST(MemoTextTest, FindsTheFirstCodeUnitZeroAnywhere) {
  for (const std::size_t at : {std::size_t{0}, std::size_t{31}, std::size_t{32}, std::size_t{33}, std::size_t{100}}) {
    std::u16string text(150, u'a');
    text[at] = u'\0';
    text[at + 20] = u'\0';  // only the first counts
    EXPECT_EQ(LengthBeforeNul(text), at);
  }
  EXPECT_EQ(LengthBeforeNul(std::u16string(70, u'b')), 70u);
  EXPECT_EQ(LengthBeforeNul(u""), 0u);
}

TEST(MemoTextTest, TellsAHexTextAsDecryptTakesIt) {
  const struct {
    const char16_t* text;
    bool hex;
  } cases[] = {
      {u"00610062", true},       {u"00ff00FF", true},  // either case
      {u"0061\n0062\r\n", true},                       // wrapped
      {u"  0061 0062  ", true},                        // spaced
      {u"006100620", false},                           // not a multiple of 4 digits
      {u"hello", false},         {u"0061G062", false}, {u"", false}, {u"   \n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
    EXPECT_EQ(HoldsHexText(std::u16string_view(c.text)), c.hex);
  }
}

TEST(MemoTextTest, WipesOnlyATextItOwnsAlone) {
  QString own = QStringLiteral("secret").toUpper();  // a buffer of its own
  const QChar* where = own.constData();
  WipeOwnedText(own);
  EXPECT_EQ(own.constData(), where);  // wiped in place, not in a copy
  EXPECT_EQ(own, QString(6, QChar(0)));

  // A text that shares its buffer is left alone: writing would detach and
  // wipe only a fresh copy, and the other holder keeps the characters anyway.
  const QString widget_text = QStringLiteral("typed").toUpper();
  QString shared = widget_text;
  WipeOwnedText(shared);
  EXPECT_EQ(shared.constData(), widget_text.constData());
  EXPECT_EQ(widget_text, QStringLiteral("TYPED"));
}

}  // namespace
}  // namespace velsor
