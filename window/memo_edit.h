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
//
// A text of kLargeChars characters or more (a large message or its hex text)
// does not enter the document, whose edits cost microseconds for each block:
// the memo keeps it in a LargeText, a buffer that wipes itself, and shows it
// through a LargeTextView, which lays out only what is on screen. The first
// key that edits such a text moves it into the document (in the same undoable
// step as the edit), at the start or, after Ctrl+End, at the end; so does a
// click, with the caret where it is clicked, on a text of up to
// kClickOpenChars characters; Ctrl+A, Copy, Cut, Paste over the whole text,
// scrolling and Ctrl+Z work on the large text as it is. The document keeps the text
// from before meanwhile: switching to and from a large text is an undo step
// of the document's own, so Ctrl+Z restores the previous text either way.

#include <QPlainTextEdit>
#include <QString>
#include <QStringView>
#include <memory>
#include <string>

#include "crypto/bytes.h"

class QTextBlock;
class QTextCursor;

namespace velsor {

class LargeText;
class LargeTextView;

class MemoEdit final : public QPlainTextEdit {
  Q_OBJECT

 public:
  // Long enough that a wrapped hex text shows a short line rarely, short
  // enough that laying one block out takes a few milliseconds.
  static constexpr qsizetype kBlockChars = 4096;
  // From this many characters on a text that replaces the whole memo is kept
  // as a large text.
  static constexpr qsizetype kLargeChars = 65536;
  // Up to this many characters a click moves a large text into the document
  // and puts the caret there; moving a larger one takes long enough that a
  // click, which need not mean an edit, leaves it as it is and says so
  // (short lines take about 0.15 s for each Mi characters, a hex text less).
  static constexpr qsizetype kClickOpenChars = 1024 * 1024;
  // Said (by Notice) on a click on a text larger than kClickOpenChars.
  static QString LargeClickMessage();

  explicit MemoEdit(QWidget* parent = nullptr);

  // The whole text, every line break written as line_break.
  QString Text(QStringView line_break) const;
  // The whole text as the codec takes it, each line break as CR LF, in a
  // buffer that wipes itself.
  SecretText CodecText() const;
  // Replaces the whole text as one undoable edit and puts the caret at the
  // start. CR LF, LF and CR each start a new line.
  void ReplaceText(QStringView text);
  // The same, taking the text's own buffer for a large text.
  void ReplaceText(SecretText text);
  // The same for a text of ASCII characters without line breaks (a hex
  // text), kept in 8 bits when large.
  void ReplaceAsciiText(std::string text);
  // The whole text as the codec takes it, shared with the memo when it holds
  // a large text (no copy), a new one otherwise. It never changes.
  std::shared_ptr<const LargeText> Snapshot() const;
  // Selects the whole text, large or not.
  void SelectWhole();
  // True while the memo shows a large text that has not been edited.
  bool HoldsLargeText() const { return fLarge != nullptr; }

  // True when the block continues the line of the block before it.
  static bool ContinuesLine(const QTextBlock& block);

 signals:
  // Words for the status line about what the memo did, or did not do.
  void Notice(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  QMimeData* createMimeDataFromSelection() const override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  friend class LargeTextSwap;

  void ShowLarge(std::shared_ptr<const LargeText> text);
  void ReplaceWithLarge(std::shared_ptr<const LargeText> text);
  // Within an open edit block: leaves the large text, as an undo step.
  void LeaveLarge();
  // Within an open edit block: moves the large text into the document.
  void OpenLarge(QTextCursor& edit);
  void LargeKeyPress(QKeyEvent* event);
  void LargePressed(QPoint point, Qt::KeyboardModifiers modifiers);
  // The document position of an offset in the large text, once moved there.
  int DocumentPosition(qsizetype offset) const;
  void CopyWhole() const;

  QString TextBetween(int from, int to, QStringView line_break) const;
  template <class Text>
  Text Extract(int from, int to, QStringView line_break) const;
  template <class Text>
  Text ExtractAll(QStringView line_break) const;

  std::shared_ptr<const LargeText> fLarge;
  LargeTextView* fView = nullptr;
  // Where the caret goes in the large text once it is in the document.
  qsizetype fLargeCaret = 0;
};

// Inserts text at the cursor as MemoEdit keeps it: line breaks as blocks,
// long lines in continued blocks.
void InsertMemoText(QTextCursor& cursor, QStringView text);

}  // namespace velsor
