// The memo keeps long lines in continued blocks: what it hands out, and what
// editing does at a block's edge, must read as one unbroken line.

#include "window/memo_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "window/large_text_view.h"

namespace velsor {
namespace {

constexpr qsizetype kBlock = MemoEdit::kBlockChars;
constexpr qsizetype kLarge = MemoEdit::kLargeChars;

// Digits 0-9 over and over: every position shows where it came from.
QString Digits(qsizetype count) {
  QString text(count, u'0');
  for (qsizetype i = 0; i < count; ++i) text[i] = QChar(static_cast<char16_t>(u'0' + i % 10));
  return text;
}

// Short lines with LF breaks, at least count characters in all.
QString Lines(qsizetype count) {
  QString text;
  for (int i = 0; text.size() < count; ++i) text += QStringLiteral("line %1 of a large text\n").arg(i);
  return text;
}

TEST(MemoEditTest, LongLinesComeBackWithoutBreaksAndShortOnesKeepTheirs) {
  MemoEdit memo;
  const QString longest = Digits(3 * kBlock + 17);
  const struct {
    const char* name;
    QString given;
    QString expected;  // with CR LF for each line break
  } cases[] = {
      {"one long line", longest, longest},
      {"exactly one block", Digits(kBlock), Digits(kBlock)},
      {"one past a block", Digits(kBlock + 1), Digits(kBlock + 1)},
      {"short, long, short, with CR LF, LF and CR", "a\r\n" + longest + "\nb\rc", "a\r\n" + longest + "\r\nb\r\nc"},
      {"long line last, trailing break", "x\n" + longest + "\n", "x\r\n" + longest + "\r\n"},
      {"empty lines", QStringLiteral("\n\n"), QStringLiteral("\r\n\r\n")},
      {"a surrogate pair at a block's edge", Digits(kBlock - 1) + QStringLiteral("\U0001F600") + Digits(5),
       Digits(kBlock - 1) + QStringLiteral("\U0001F600") + Digits(5)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    memo.ReplaceText(c.given);
    EXPECT_EQ(memo.Text(u"\r\n"), c.expected);
    // No block holds half a surrogate pair.
    for (QTextBlock b = memo.document()->begin(); b.isValid(); b = b.next()) {
      const QString text = b.text();
      if (!text.isEmpty()) {
        EXPECT_FALSE(text.back().isHighSurrogate());
      }
      EXPECT_LE(text.size(), kBlock);
    }
  }
  // A long line really is held in several blocks.
  memo.ReplaceText(longest);
  EXPECT_EQ(memo.document()->blockCount(), 4);
}

TEST(MemoEditTest, EditingAtABlocksEdgeActsOnTheLine) {
  MemoEdit memo;
  const QString line = Digits(2 * kBlock);
  auto at_second_block = [&memo] {
    QTextCursor cursor(memo.document()->findBlockByNumber(1));
    memo.setTextCursor(cursor);
  };
  {
    SCOPED_TRACE("Enter starts a line of its own");
    memo.ReplaceText(line);
    at_second_block();
    QTest::keyClick(&memo, Qt::Key_Return);
    QTest::keyClicks(&memo, QStringLiteral("x"));
    EXPECT_EQ(memo.Text(u"\n"), line.left(kBlock) + QStringLiteral("\nx") + line.mid(kBlock));
  }
  {
    SCOPED_TRACE("Backspace removes the character before the edge");
    memo.ReplaceText(line);
    at_second_block();
    QTest::keyClick(&memo, Qt::Key_Backspace);
    EXPECT_EQ(memo.Text(u"\n"), line.left(kBlock - 1) + line.mid(kBlock));
  }
  {
    SCOPED_TRACE("Delete removes the character after the edge");
    memo.ReplaceText(line);
    QTextCursor cursor(memo.document()->firstBlock());
    cursor.movePosition(QTextCursor::EndOfBlock);
    memo.setTextCursor(cursor);
    QTest::keyClick(&memo, Qt::Key_Delete);
    EXPECT_EQ(memo.Text(u"\n"), line.left(kBlock) + line.mid(kBlock + 1));
  }
  {
    SCOPED_TRACE("a copied selection across the edge has no break; a pasted one keeps its own");
    memo.ReplaceText(line + QStringLiteral("\nend"));
    QTextCursor cursor(memo.document());
    cursor.setPosition(kBlock - 3);
    cursor.setPosition(kBlock + 4, QTextCursor::KeepAnchor);  // 3 digits, the edge, 3 digits
    memo.setTextCursor(cursor);
    memo.copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), line.mid(kBlock - 3, 6));
    QGuiApplication::clipboard()->setText(QStringLiteral("p\nq"));
    memo.paste();
    EXPECT_EQ(memo.Text(u"\n"),
              line.left(kBlock - 3) + QStringLiteral("p\nq") + line.mid(kBlock + 3) + QStringLiteral("\nend"));
  }
}

TEST(MemoEditTest, ReplacingTheTextIsOneUndoableStep) {
  MemoEdit memo;
  memo.ReplaceText(QStringLiteral("before"));
  memo.ReplaceText(Digits(3 * kBlock) + QStringLiteral("\nafter"));
  memo.undo();
  EXPECT_EQ(memo.Text(u"\n"), QStringLiteral("before"));
  memo.redo();
  EXPECT_EQ(memo.Text(u"\n"), Digits(3 * kBlock) + QStringLiteral("\nafter"));
}

// Ctrl+Z and Ctrl+Shift+Z, as a person presses them.
void Undo(MemoEdit& memo) { QTest::keyClick(&memo, Qt::Key_Z, Qt::ControlModifier); }
void Redo(MemoEdit& memo) { QTest::keyClick(&memo, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }

TEST(MemoEditTest, EveryReplacementToOrFromALargeTextIsOneUndoStep) {
  MemoEdit memo;
  const QString hex = Digits(kLarge + 3);
  const QString letter = Lines(kLarge);
  const QString texts[] = {QStringLiteral("before"), hex, letter, QStringLiteral("after\nthe large ones")};
  for (const QString& text : texts) memo.ReplaceText(text);
  EXPECT_FALSE(memo.HoldsLargeText());
  for (int i = 2; i >= 0; --i) {
    Undo(memo);
    EXPECT_EQ(memo.Text(u"\n"), texts[i]) << "undo to " << i;
    EXPECT_EQ(memo.HoldsLargeText(), i == 1 || i == 2);
  }
  for (int i = 1; i <= 3; ++i) {
    Redo(memo);
    EXPECT_EQ(memo.Text(u"\n"), texts[i]) << "redo to " << i;
  }
}

TEST(MemoEditTest, EditingALargeTextTakesItIntoTheDocumentInTheSameUndoStep) {
  MemoEdit memo;
  const QString large = Lines(kLarge);
  memo.ReplaceText(QStringLiteral("before"));
  memo.ReplaceText(large);
  ASSERT_TRUE(memo.HoldsLargeText());
  {
    SCOPED_TRACE("keys that only move change nothing");
    for (const auto& key : {QKeyCombination(Qt::Key_PageDown), QKeyCombination(Qt::Key_Down),
                            QKeyCombination(Qt::ControlModifier, Qt::Key_End), QKeyCombination(Qt::Key_Up),
                            QKeyCombination(Qt::ControlModifier, Qt::Key_Home), QKeyCombination(Qt::Key_Shift)})
      QTest::keyClick(&memo, key.key(), key.keyboardModifiers());
    EXPECT_TRUE(memo.HoldsLargeText());
    EXPECT_EQ(memo.Text(u"\n"), large);
  }
  {
    SCOPED_TRACE("after Ctrl+Home a typed character goes in at the start");
    QTest::keyClick(&memo, Qt::Key_X);
    EXPECT_FALSE(memo.HoldsLargeText());
    EXPECT_EQ(memo.Text(u"\n"), QStringLiteral("x") + large);
    QTest::keyClicks(&memo, QStringLiteral("yz"));
    const QString codec = QString(QStringLiteral("xyz") + large).replace(u'\n', QStringLiteral("\r\n"));
    EXPECT_EQ(memo.CodecText().view(), codec.toStdU16String());
  }
  {
    SCOPED_TRACE("Ctrl+Z undoes the typing and then the large text");
    for (int i = 0; i < 10 && memo.Text(u"\n") != large; ++i) Undo(memo);
    EXPECT_EQ(memo.Text(u"\n"), large);
    Undo(memo);
    EXPECT_EQ(memo.Text(u"\n"), QStringLiteral("before"));
  }
  {
    SCOPED_TRACE("typing over the whole text replaces it");
    memo.ReplaceText(large);
    QTest::keyClick(&memo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&memo, Qt::Key_Q);
    EXPECT_EQ(memo.Text(u"\n"), QStringLiteral("q"));
    Undo(memo);
    EXPECT_EQ(memo.Text(u"\n"), large);
  }
  {
    SCOPED_TRACE("a read-only memo takes no edit and no undo");
    memo.setReadOnly(true);
    QTest::keyClick(&memo, Qt::Key_X);
    Undo(memo);
    EXPECT_TRUE(memo.HoldsLargeText());
    EXPECT_EQ(memo.Text(u"\n"), large);
    memo.setReadOnly(false);
  }
}

TEST(MemoEditTest, CopyCutAndPasteWorkOnALargeText) {
  MemoEdit memo;
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QString large = Lines(kLarge);
  memo.ReplaceText(QString(large).replace(u'\n', QStringLiteral("\r\n")));
  {
    SCOPED_TRACE("Copy takes the whole text once it is selected, with LF breaks");
    clipboard->setText(QStringLiteral("unchanged"));
    QTest::keyClick(&memo, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("unchanged"));
    QTest::keyClick(&memo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&memo, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), large);
  }
  {
    SCOPED_TRACE("Paste over the whole text replaces it; Ctrl+Z brings it back");
    clipboard->setText(QStringLiteral("small"));
    QTest::keyClick(&memo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&memo, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(memo.Text(u"\n"), QStringLiteral("small"));
    Undo(memo);
    EXPECT_EQ(memo.Text(u"\n"), large);
  }
  {
    SCOPED_TRACE("Paste without a selection goes in at the start");
    QTest::keyClick(&memo, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(memo.Text(u"\n"), QStringLiteral("small") + large);
    Undo(memo);
    EXPECT_EQ(memo.Text(u"\n"), large);
    EXPECT_TRUE(memo.HoldsLargeText());
  }
  {
    SCOPED_TRACE("Cut of the whole text");
    QTest::keyClick(&memo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&memo, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), large);
    EXPECT_EQ(memo.Text(u"\n"), QString());
    Undo(memo);
    EXPECT_EQ(memo.Text(u"\n"), large);
  }
  {
    SCOPED_TRACE("a large paste into a small text makes one large text, undone in one step");
    memo.ReplaceText(QStringLiteral("a\nb"));
    QTextCursor cursor(memo.document());
    cursor.setPosition(2);
    memo.setTextCursor(cursor);
    clipboard->setText(large);
    memo.paste();
    EXPECT_TRUE(memo.HoldsLargeText());
    EXPECT_EQ(memo.Text(u"\n"), QStringLiteral("a\n") + large + QStringLiteral("b"));
    Undo(memo);
    EXPECT_EQ(memo.Text(u"\n"), QStringLiteral("a\nb"));
  }
}

// A click on a large text puts the caret on the character under the pointer;
// the points come from the font, the text from the expected string.
TEST(MemoEditTest, AClickOnALargeTextPutsTheCaretWhereItIsClicked) {
  MemoEdit memo;
  memo.resize(600, 300);
  memo.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&memo));
  auto* view = memo.findChild<LargeTextView*>();
  ASSERT_NE(view, nullptr);
  // Short lines, then a line kept in continued blocks, then a short last one.
  const QString head = Lines(90000);
  const QString last = QStringLiteral("the last line, after a long one");
  const QString large = head + Digits(3 * kBlock + 100) + u'\n' + last;
  const qsizetype line5 = head.indexOf(QStringLiteral("line 5 "));
  const QFontMetrics metrics(view->font());
  const int margin = LargeTextView::kMargin;
  const QPoint top_row(margin + metrics.horizontalAdvance(QStringLiteral("line 5")), margin + metrics.height() / 2);

  enum class Click { kNone, kSixthLine, kLastLine };
  const struct {
    const char* name;
    QKeyCombination key_before;
    Click click;
    Qt::KeyboardModifiers modifiers;
    QString expected;
  } cases[] = {
      {"a click on the sixth line", QKeyCombination(Qt::Key_PageUp), Click::kSixthLine, Qt::NoModifier,
       large.left(line5 + 6) + u'x' + large.mid(line5 + 6)},
      {"a click on the line after the long one", QKeyCombination(Qt::ControlModifier, Qt::Key_End), Click::kLastLine,
       Qt::NoModifier, large.left(large.size() - last.size() + 8) + u'x' + large.right(last.size() - 8)},
      {"Ctrl+End, then typing", QKeyCombination(Qt::ControlModifier, Qt::Key_End), Click::kNone, Qt::NoModifier,
       large + u'x'},
      {"Ctrl+End, then Shift+click selects to the end", QKeyCombination(Qt::ControlModifier, Qt::Key_End),
       Click::kSixthLine, Qt::ShiftModifier, large.left(line5 + 6) + u'x'},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    memo.ReplaceText(large);
    ASSERT_TRUE(memo.HoldsLargeText());
    QTest::keyClick(&memo, c.key_before.key(), c.key_before.keyboardModifiers());
    if (c.click == Click::kSixthLine) {
      view->ScrollToStart();
      view->ScrollLines(5);
      if (c.modifiers & Qt::ShiftModifier) QTest::keyClick(&memo, Qt::Key_End, Qt::ControlModifier);
      view->ScrollToStart();
      view->ScrollLines(5);
      QTest::mouseClick(view->viewport(), Qt::LeftButton, c.modifiers, top_row);
      EXPECT_FALSE(memo.HoldsLargeText());
    } else if (c.click == Click::kLastLine) {
      // Below the last line, which the view shows at its bottom.
      const QPoint bottom(margin + metrics.horizontalAdvance(QStringLiteral("the last")),
                          view->viewport()->height() - 2);
      QTest::mouseClick(view->viewport(), Qt::LeftButton, c.modifiers, bottom);
      EXPECT_FALSE(memo.HoldsLargeText());
    }
    QTest::keyClick(&memo, Qt::Key_X);
    EXPECT_EQ(memo.Text(u"\n"), c.expected);
    for (int i = 0; i < 4 && !memo.HoldsLargeText(); ++i) Undo(memo);
    EXPECT_TRUE(memo.HoldsLargeText());
    EXPECT_EQ(memo.Text(u"\n"), large);
  }
  {
    SCOPED_TRACE("a hex text kept in 8 bits: a click right of its last row puts the caret at its end");
    const QString hex = Digits(kLarge + 5);
    memo.ReplaceAsciiText(hex.toStdString());
    view->ScrollToEnd();  // the caret stays at the start: only the click moves it
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(view->viewport()->width() - 2, view->viewport()->height() - 2));
    QTest::keyClick(&memo, Qt::Key_X);
    EXPECT_EQ(memo.Text(u"\n"), hex + u'x');
  }
  {
    SCOPED_TRACE("a click on a text too large to move at once leaves it and says so");
    QSignalSpy notices(&memo, &MemoEdit::Notice);
    memo.ReplaceAsciiText(std::string(static_cast<std::size_t>(MemoEdit::kClickOpenChars) + 1, 'a'));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, top_row);
    EXPECT_TRUE(memo.HoldsLargeText());
    ASSERT_EQ(notices.count(), 1);
    EXPECT_EQ(notices.at(0).at(0).toString(), MemoEdit::LargeClickMessage());
  }
}

}  // namespace
}  // namespace velsor
