#include "window/memo_edit.h"

#include <QAbstractUndoItem>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "window/large_text.h"
#include "window/large_text_view.h"
#include "window/memo_text.h"

namespace velsor {

namespace {

constexpr int kContinuesLine = QTextFormat::UserProperty + 1;

// The document keeps its own copy; the piece made here is wiped.
void InsertPiece(QTextCursor& cursor, QStringView piece) {
  QString text = piece.toString();
  cursor.insertText(text);
  WipeOwnedText(text);
}

bool IsBreak(QChar c) { return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator; }

QTextBlockFormat LineFormat(const QTextBlockFormat& from, bool continues) {
  QTextBlockFormat format = from;
  if (continues)
    format.setProperty(kContinuesLine, true);
  else
    format.clearProperty(kContinuesLine);
  return format;
}

// Inserts one line without breaks, kBlockChars at a time; a surrogate pair
// stays in one block.
void InsertLine(QTextCursor& cursor, QStringView line, const QTextBlockFormat& continued) {
  qsizetype at = 0;
  bool first = true;
  do {
    qsizetype length = std::min(MemoEdit::kBlockChars, line.size() - at);
    if (at + length < line.size() && line[at + length - 1].isHighSurrogate()) --length;
    if (!first) cursor.insertBlock(continued);
    InsertPiece(cursor, line.sliced(at, length));
    at += length;
    first = false;
  } while (at < line.size());
}

}  // namespace

void InsertMemoText(QTextCursor& cursor, QStringView text) {
  const QTextBlockFormat own_line = LineFormat(cursor.blockFormat(), false);
  const QTextBlockFormat continued = LineFormat(own_line, true);
  const qsizetype n = text.size();
  qsizetype pos = 0;
  bool first = true;
  while (true) {
    qsizetype end = pos;
    while (end < n && !IsBreak(text[end])) ++end;
    if (!first) cursor.insertBlock(own_line);
    if (!first && end - pos <= MemoEdit::kBlockChars) {
      // A run of short lines goes in at once: the blocks it makes take the
      // current block's format, which starts its own line here.
      qsizetype run_end = end;
      while (run_end < n) {
        qsizetype next = run_end + ((text[run_end] == u'\r' && run_end + 1 < n && text[run_end + 1] == u'\n') ? 2 : 1);
        qsizetype next_end = next;
        while (next_end < n && !IsBreak(text[next_end])) ++next_end;
        if (next_end - next > MemoEdit::kBlockChars) break;
        run_end = next_end;
      }
      InsertPiece(cursor, text.sliced(pos, run_end - pos));
      end = run_end;
    } else {
      InsertLine(cursor, text.sliced(pos, end - pos), continued);
    }
    first = false;
    if (end >= n) break;
    pos = end + ((text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n') ? 2 : 1);
  }
}

// Switching the memo from one large text (or none: the document's text) to
// another, as a step on the document's undo stack.
class LargeTextSwap final : public QAbstractUndoItem {
 public:
  LargeTextSwap(MemoEdit& memo, std::shared_ptr<const LargeText> before, std::shared_ptr<const LargeText> after)
      : fMemo(memo), fBefore(std::move(before)), fAfter(std::move(after)) {}
  void undo() override { fMemo.ShowLarge(fBefore); }
  void redo() override { fMemo.ShowLarge(fAfter); }

 private:
  MemoEdit& fMemo;
  std::shared_ptr<const LargeText> fBefore;
  std::shared_ptr<const LargeText> fAfter;
};

MemoEdit::MemoEdit(QWidget* parent) : QPlainTextEdit(parent), fView(new LargeTextView(this)) {
  fView->setFrameStyle(frameStyle());
  fView->hide();
  connect(fView, &LargeTextView::Pressed, this, &MemoEdit::LargePressed);
}

QString MemoEdit::LargeClickMessage() {
  return tr(
      "This text is large: a click does not place the caret in it. Typing edits it at its start, or at its "
      "end after Ctrl+End");
}

void MemoEdit::ShowLarge(std::shared_ptr<const LargeText> text) {
  fLarge = std::move(text);
  fLargeCaret = 0;
  fView->SetText(fLarge);
  fView->setVisible(fLarge != nullptr);
  if (fLarge) fView->raise();
}

void MemoEdit::LeaveLarge() {
  if (!fLarge) return;
  document()->appendUndoItem(new LargeTextSwap(*this, fLarge, nullptr));
  ShowLarge(nullptr);
}

void MemoEdit::OpenLarge(QTextCursor& edit) {
  const std::shared_ptr<const LargeText> text = fLarge;
  const bool selected_all = fView->SelectedAll();
  const qsizetype at = fLargeCaret;
  LeaveLarge();
  edit.select(QTextCursor::Document);
  edit.removeSelectedText();
  edit.setBlockFormat(LineFormat(edit.blockFormat(), false));
  const QString ascii = text->IsAscii() ? text->Text(u"\n") : QString();
  InsertMemoText(edit, text->IsAscii() ? QStringView(ascii) : QStringView(text->Wide().data(), text->Size()));
  QTextCursor caret(document());
  if (selected_all)
    caret.select(QTextCursor::Document);
  else
    caret.setPosition(DocumentPosition(at));
  setTextCursor(caret);
}

// The large text keeps a line break as CR LF, the document as one block
// separator; a block that continues a line has a separator the text lacks.
int MemoEdit::DocumentPosition(qsizetype offset) const {
  qsizetype consumed = 0;  // characters of the text before the block
  QTextBlock block = document()->begin();
  for (; block.isValid(); block = block.next()) {
    const qsizetype chars = block.length() - 1;
    if (offset <= consumed + chars) return block.position() + static_cast<int>(offset - consumed);
    consumed += chars;
    if (!ContinuesLine(block.next())) consumed += 2;
  }
  return document()->characterCount() - 1;
}

// A click on a large text moves it into the document, as one undo step, with
// the caret on the character clicked, shown where it was clicked.
void MemoEdit::LargePressed(QPoint point, Qt::KeyboardModifiers modifiers) {
  if (!fLarge || isReadOnly()) return;
  if (fLarge->Size() > kClickOpenChars) {
    emit Notice(LargeClickMessage());
    return;
  }
  int line_top = 0;
  const qsizetype clicked = fView->OffsetAt(point, &line_top);
  if (clicked < 0) return;
  const qsizetype anchor = fLargeCaret;
  fView->SetSelectedAll(false);
  fLargeCaret = clicked;
  QTextCursor edit(document());
  edit.beginEditBlock();
  OpenLarge(edit);
  edit.endEditBlock();
  QTextCursor caret = textCursor();
  if (modifiers & Qt::ShiftModifier) {
    caret.setPosition(DocumentPosition(anchor));
    caret.setPosition(DocumentPosition(clicked), QTextCursor::KeepAnchor);
    setTextCursor(caret);
  }
  ensureCursorVisible();
  // The scroll bar steps by lines: a few steps bring the line to the top it
  // had in the large view.
  const int spacing = std::max(fontMetrics().lineSpacing(), 1);
  for (int i = 0; i < 4; ++i) {
    const int lines = qRound(static_cast<double>(cursorRect().top() - line_top) / spacing);
    if (lines == 0) break;
    QScrollBar* bar = verticalScrollBar();
    const int before = bar->value();
    bar->setValue(before + lines);
    if (bar->value() == before) break;
  }
}

void MemoEdit::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  fView->setGeometry(rect());
}

bool MemoEdit::ContinuesLine(const QTextBlock& block) {
  return block.isValid() && block.blockFormat().boolProperty(kContinuesLine);
}

QString MemoEdit::Text(QStringView line_break) const {
  return fLarge ? fLarge->Text(line_break) : ExtractAll<QString>(line_break);
}

SecretText MemoEdit::CodecText() const { return fLarge ? fLarge->CodecText() : ExtractAll<SecretText>(u"\r\n"); }

std::shared_ptr<const LargeText> MemoEdit::Snapshot() const {
  return fLarge ? fLarge : std::make_shared<const LargeText>(ExtractAll<SecretText>(u"\r\n"));
}

namespace {

void Append(QString& text, const char16_t* chars, qsizetype count) {
  text.append(reinterpret_cast<const QChar*>(chars), count);
}
void Append(SecretText& text, const char16_t* chars, qsizetype count) {
  text.append(chars, static_cast<std::size_t>(count));
}

}  // namespace

// The whole text, block by block: each block's characters are copied while
// they are still in the cache, and a block's edge needs no search.
template <class Text>
Text MemoEdit::ExtractAll(QStringView line_break) const {
  const QTextDocument* doc = document();
  const auto* breaks = reinterpret_cast<const char16_t*>(line_break.utf16());
  Text text;
  text.reserve(static_cast<std::size_t>(doc->characterCount() +
                                        doc->blockCount() * std::max<qsizetype>(line_break.size() - 1, 0)));
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    if (block != doc->begin() && !ContinuesLine(block)) Append(text, breaks, line_break.size());
    QString piece = block.text();
    const auto* chars = reinterpret_cast<const char16_t*>(piece.utf16());
    qsizetype run = 0;
    for (qsizetype i = 0; i < piece.size(); ++i) {
      if (chars[i] != QChar::LineSeparator) continue;  // Shift+Enter: a break inside the block
      Append(text, chars + run, i - run);
      Append(text, breaks, line_break.size());
      run = i + 1;
    }
    Append(text, chars + run, piece.size() - run);
    WipeOwnedText(piece);  // this function's own copy of the characters
  }
  return text;
}

QString MemoEdit::TextBetween(int from, int to, QStringView line_break) const {
  return Extract<QString>(from, to, line_break);
}

// The characters from one document position to another: each block
// separator becomes line_break, or nothing before a block that continues the
// line; a line separator (Shift+Enter) is a line break too.
template <class Text>
Text MemoEdit::Extract(int from, int to, QStringView line_break) const {
  QTextCursor range(document());
  range.setPosition(from);
  range.setPosition(to, QTextCursor::KeepAnchor);
  // Not toPlainText: it turns a no-break space into a space.
  QString raw = range.selectedText();
  const char16_t* in = reinterpret_cast<const char16_t*>(raw.utf16());
  const qsizetype size = raw.size();
  const auto is_break = [](char16_t c) { return c == 0x2029 || c == 0x2028; };
  const qsizetype breaks = std::count_if(in, in + size, is_break);

  Text text;
  text.resize(static_cast<std::size_t>(size + breaks * std::max<qsizetype>(line_break.size() - 1, 0)));
  char16_t* out = reinterpret_cast<char16_t*>(text.data());
  char16_t* const start = out;
  QTextBlock block = document()->findBlock(from);
  qsizetype run = 0;  // start of the characters not yet copied
  for (qsizetype i = 0; i < size; ++i) {
    if (!is_break(in[i])) continue;
    out = std::copy(in + run, in + i, out);
    run = i + 1;
    bool write_break = true;
    if (in[i] == 0x2029) {
      block = block.next();
      write_break = !ContinuesLine(block);
    }
    if (write_break) out = std::copy(line_break.utf16(), line_break.utf16() + line_break.size(), out);
  }
  out = std::copy(in + run, in + size, out);
  text.resize(static_cast<std::size_t>(out - start));
  WipeOwnedText(raw);  // this function's own copy of the characters
  return text;
}

void MemoEdit::ReplaceText(QStringView text) {
  if (text.size() >= kLargeChars) {
    ReplaceText(SecretText(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
    return;
  }
  QTextCursor cursor(document());
  cursor.beginEditBlock();
  LeaveLarge();
  cursor.select(QTextCursor::Document);
  cursor.removeSelectedText();
  cursor.setBlockFormat(LineFormat(cursor.blockFormat(), false));
  InsertMemoText(cursor, text);
  cursor.endEditBlock();
  cursor.movePosition(QTextCursor::Start);
  setTextCursor(cursor);
}

void MemoEdit::ReplaceText(SecretText text) {
  if (static_cast<qsizetype>(text.size()) < kLargeChars) {
    ReplaceText(QStringView(text.data(), static_cast<qsizetype>(text.size())));
    return;
  }
  ReplaceWithLarge(std::make_shared<const LargeText>(std::move(text)));
}

void MemoEdit::ReplaceAsciiText(std::string text) {
  if (static_cast<qsizetype>(text.size()) < kLargeChars) {
    ReplaceText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    return;
  }
  ReplaceWithLarge(std::make_shared<const LargeText>(std::move(text)));
}

void MemoEdit::ReplaceWithLarge(std::shared_ptr<const LargeText> text) {
  QTextCursor edit(document());
  edit.beginEditBlock();
  document()->appendUndoItem(new LargeTextSwap(*this, fLarge, text));
  edit.endEditBlock();
  ShowLarge(std::move(text));
}

void MemoEdit::SelectWhole() {
  selectAll();
  if (fLarge) fView->SetSelectedAll(true);
}

void MemoEdit::CopyWhole() const {
  auto* data = new QMimeData;
  data->setText(Text(u"\n"));
  QGuiApplication::clipboard()->setMimeData(data);
}

// Keys on a large text: scrolling, selecting all, copying and undoing act on
// it as it is; a key that edits moves it into the document first.
void MemoEdit::LargeKeyPress(QKeyEvent* event) {
  const bool editable = !isReadOnly();
  const bool selected_all = fView->SelectedAll();
  if (event == QKeySequence::Undo || event == QKeySequence::Redo) {
    if (editable) event == QKeySequence::Undo ? undo() : redo();
    return;
  }
  if (event == QKeySequence::SelectAll) return SelectWhole();
  if (event == QKeySequence::Copy) {
    if (selected_all) CopyWhole();
    return;
  }
  if (event == QKeySequence::Cut && selected_all) {
    if (!editable) return;
    CopyWhole();
    return ReplaceText(QStringView());
  }
  if (event == QKeySequence::Paste && selected_all && editable) {
    return ReplaceText(QGuiApplication::clipboard()->text());
  }
  const struct {
    QKeySequence::StandardKey key;
    void (*scroll)(LargeTextView&);
  } moves[] = {
      {QKeySequence::MoveToNextLine, [](LargeTextView& v) { v.ScrollLines(1); }},
      {QKeySequence::MoveToPreviousLine, [](LargeTextView& v) { v.ScrollLines(-1); }},
      {QKeySequence::MoveToNextPage, [](LargeTextView& v) { v.ScrollPages(1); }},
      {QKeySequence::MoveToPreviousPage, [](LargeTextView& v) { v.ScrollPages(-1); }},
      {QKeySequence::MoveToStartOfDocument, [](LargeTextView& v) { v.ScrollToStart(); }},
      {QKeySequence::MoveToEndOfDocument, [](LargeTextView& v) { v.ScrollToEnd(); }},
  };
  for (const auto& move : moves) {
    if (event != move.key) continue;
    fView->SetSelectedAll(false);
    // The caret goes where these keys would take it in a small text.
    if (event == QKeySequence::MoveToStartOfDocument) fLargeCaret = 0;
    if (event == QKeySequence::MoveToEndOfDocument) fLargeCaret = fLarge->Size();
    return move.scroll(*fView);
  }
  const int key = event->key();
  const bool edits = key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_Return ||
                     key == Qt::Key_Enter || event == QKeySequence::Paste || event == QKeySequence::Cut ||
                     (!event->text().isEmpty() && event->text().front().isPrint());
  if (!editable || !edits) return;
  QTextCursor edit(document());
  edit.beginEditBlock();  // the move and the edit are one undo step
  OpenLarge(edit);
  keyPressEvent(event);
  edit.endEditBlock();
  ensureCursorVisible();
}

void MemoEdit::keyPressEvent(QKeyEvent* event) {
  if (fLarge) return LargeKeyPress(event);
  QTextCursor cursor = textCursor();
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  const int key = event->key();
  if (plain && !isReadOnly()) {
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
        ContinuesLine(document()->findBlock(cursor.selectionStart()))) {
      // The new block starts a line of its own, not a continuation.
      cursor.insertBlock(LineFormat(cursor.blockFormat(), false));
      setTextCursor(cursor);
      ensureCursorVisible();
      return;
    }
    if (!cursor.hasSelection()) {
      // Across a continuation mark, Backspace and Delete remove the
      // character beyond it, as they would in an unbroken line.
      const QTextBlock block = cursor.block();
      if (key == Qt::Key_Backspace && cursor.atBlockStart() && ContinuesLine(block) && block.previous().length() > 1) {
        cursor.setPosition(block.position() - 1);
        cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        return;
      }
      if (key == Qt::Key_Delete && cursor.atBlockEnd() && ContinuesLine(block.next()) && block.next().length() > 1) {
        cursor.setPosition(block.next().position());
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        return;
      }
    }
  }
  QPlainTextEdit::keyPressEvent(event);
}

QMimeData* MemoEdit::createMimeDataFromSelection() const {
  const QTextCursor cursor = textCursor();
  auto* data = new QMimeData;
  data->setText(TextBetween(cursor.selectionStart(), cursor.selectionEnd(), u"\n"));
  return data;
}

void MemoEdit::insertFromMimeData(const QMimeData* source) {
  if (isReadOnly() || source == nullptr || !source->hasText()) return;
  if (fLarge) {
    QTextCursor edit(document());
    edit.beginEditBlock();  // the move and the paste are one undo step
    OpenLarge(edit);
    insertFromMimeData(source);
    edit.endEditBlock();
    return;
  }
  const QString pasted = source->text();
  if (pasted.size() >= kLargeChars) {
    // The text with the paste in it becomes a large text in one step.
    const QTextCursor at = textCursor();
    SecretText whole = Extract<SecretText>(0, at.selectionStart(), u"\r\n");
    whole.append(reinterpret_cast<const char16_t*>(pasted.utf16()), static_cast<std::size_t>(pasted.size()));
    whole.append(Extract<SecretText>(at.selectionEnd(), document()->characterCount() - 1, u"\r\n").view());
    ReplaceText(std::move(whole));
    return;
  }
  QTextCursor cursor = textCursor();
  cursor.beginEditBlock();
  cursor.removeSelectedText();
  InsertMemoText(cursor, pasted);
  cursor.endEditBlock();
  setTextCursor(cursor);
  ensureCursorVisible();
}

}  // namespace velsor
