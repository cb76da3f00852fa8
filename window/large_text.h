#pragma once
// A text too large for the memo's document to take in one edit: the whole
// text in one buffer, in the form the codec takes (each line break CR LF), cut
// into the pieces a view lays out one at a time. A piece holds whole lines up
// to kPieceChars characters, or kPieceChars characters of a longer line. A
// text is UTF-16 in a buffer that wipes itself, or, for a hex text, ASCII in
// 8 bits: half the memory, and no conversion between the codec and the memo.
// The text never changes once made, so threads may share it.

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/bytes.h"

namespace velsor {

class LargeText {
 public:
  // A piece of a long line; laying one out takes a fraction of a millisecond.
  static constexpr qsizetype kPieceChars = 4096;
  // Short lines in one piece: Qt lays out a text of many lines in time that
  // grows faster than its length, so these pieces stay smaller.
  static constexpr qsizetype kLinesChars = 1024;

  // CR LF, LF, CR, U+2028 and U+2029 each end a line; they are kept as CR LF.
  explicit LargeText(SecretText text);
  // ASCII characters without line breaks, such as a hex text.
  explicit LargeText(std::string ascii);

  bool IsAscii() const { return fIsAscii; }
  std::u16string_view Wide() const { return fWide.view(); }  // when not ASCII
  std::string_view Ascii() const { return fAscii; }          // when ASCII
  qsizetype Size() const;
  bool IsBlank() const;

  qsizetype PieceCount() const { return static_cast<qsizetype>(fStarts.size()) - 1; }
  // The piece as a view lays it out: each line break inside it as U+2028, a
  // break that ends it left out (the next piece starts a new line).
  QString PieceText(qsizetype index) const;
  // The offset in the whole text of the character at offset at of the
  // piece's text as PieceText gives it.
  qsizetype TextOffset(qsizetype index, qsizetype at) const;

  // The whole text, every line break written as line_break.
  QString Text(QStringView line_break) const;
  // The whole text as UTF-16, in a buffer that wipes itself.
  SecretText CodecText() const;

 private:
  void FindPieces();
  qsizetype NextCut(qsizetype start) const;

  bool fIsAscii = false;
  SecretText fWide;
  std::string fAscii;
  // Piece i is [fStarts[i], fStarts[i + 1]).
  std::vector<qsizetype> fStarts;
};

}  // namespace velsor
