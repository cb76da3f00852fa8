#pragma once
// The memo: a plain text editor that stays fast for lines of millions of
// characters, such as the hex text of a large message.
//
// Qt lays out a paragraph as a whole, in time that grows with its length (and
// with its square when it wraps at word boundaries it does not have), and
// lazily only for whole paragraphs. So the memo keeps a long line in blocks of
// at most kBlockChars characters: every block after the first carries a
// "continues the line" mark, and the text the memo hands out (Text, copies of
// a selection) has no line break there. Only the blocks on screen are laid
// out. Enter, Backspace, Delete and pasting keep the marks right.

#include <QPlainTextEdit>
#include <QString>
#include <QStringView>

#include "crypto/bytes.h"

class QTextBlock;
class QTextCursor;

namespace velsor {

class MemoEdit final : public QPlainTextEdit {
  Q_OBJECT

 public:
  // Long enough that a wrapped hex text shows a short line rarely, short
  // enough that laying one block out takes a few milliseconds.
  static constexpr qsizetype kBlockChars = 4096;

  explicit MemoEdit(QWidget* parent = nullptr);

  // The whole text, every line break written as line_break.
  QString Text(QStringView line_break) const;
  // The whole text as the codec takes it, each line break as CR LF, in a
  // buffer that wipes itself.
  SecretText CodecText() const;
  // Replaces the whole text as one undoable edit and puts the caret at the
  // start. CR LF, LF and CR each start a new line.
  void ReplaceText(QStringView text);

  // True when the block continues the line of the block before it.
  static bool ContinuesLine(const QTextBlock& block);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  QMimeData* createMimeDataFromSelection() const override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  QString TextBetween(int from, int to, QStringView line_break) const;
  template <class Text>
  Text Extract(int from, int to, QStringView line_break) const;
  template <class Text>
  Text ExtractAll(QStringView line_break) const;
};

// Inserts text at the cursor as MemoEdit keeps it: line breaks as blocks,
// long lines in continued blocks.
void InsertMemoText(QTextCursor& cursor, QStringView text);

}  // namespace velsor
