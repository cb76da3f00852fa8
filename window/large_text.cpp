#include "window/large_text.h"

#include <algorithm>

#include "window/memo_text.h"

namespace velsor {

namespace {

bool IsBreak(char16_t c) { return c == u'\n' || c == u'\r' || (c & 0xFFFE) == 0x2028; }

// True when every line break is CR LF already, so the text is kept as it is.
// Branch-free, so the compiler reads the text in vectors.
bool HasCodecBreaks(std::u16string_view text) {
  if (text.empty()) return true;
  const std::size_t last = text.size() - 1;
  const auto bit = [](bool b) { return static_cast<unsigned>(b); };
  unsigned bad = bit(text[0] == u'\n') | bit(text[last] == u'\r') | bit((text[last] & 0xFFFE) == 0x2028);
  for (std::size_t i = 0; i < last; ++i)
    bad |= (bit(text[i] == u'\r') ^ bit(text[i + 1] == u'\n')) | bit((text[i] & 0xFFFE) == 0x2028);
  return bad == 0;
}

SecretText WithCodecBreaks(std::u16string_view text) {
  SecretText out;
  out.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (!IsBreak(c)) {
      out.push_back(c);
      continue;
    }
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    out.append(u"\r\n");
  }
  return out;
}

}  // namespace

LargeText::LargeText(SecretText text)
    : fWide(HasCodecBreaks(text.view()) ? std::move(text) : WithCodecBreaks(text.view())) {
  FindPieces();
}

LargeText::LargeText(std::string ascii) : fIsAscii(true), fAscii(std::move(ascii)) { FindPieces(); }

qsizetype LargeText::Size() const { return static_cast<qsizetype>(fIsAscii ? fAscii.size() : fWide.size()); }

bool LargeText::IsBlank() const {
  if (!fIsAscii) return velsor::IsBlank(Wide());
  return std::all_of(fAscii.begin(), fAscii.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

// Short lines go together up to kLinesChars characters, cut after a line
// break; a longer line is a piece of its own, cut every kPieceChars
// characters (never between CR and LF, nor inside a surrogate pair).
void LargeText::FindPieces() {
  const qsizetype size = Size();
  fStarts.reserve(static_cast<std::size_t>(size / kLinesChars + 2));
  fStarts.push_back(0);
  qsizetype start = 0;
  while (size - start > (fIsAscii ? kPieceChars : kLinesChars)) {
    const qsizetype cut = fIsAscii ? start + kPieceChars : NextCut(start);
    if (cut >= size) break;
    fStarts.push_back(cut);
    start = cut;
  }
  fStarts.push_back(size);
}

qsizetype LargeText::NextCut(qsizetype start) const {
  const char16_t* wide = fWide.data();
  const qsizetype size = Size();
  qsizetype at = start + kLinesChars;
  while (at > start && wide[at - 1] != u'\n') --at;
  if (at > start) return at;  // after the last CR LF of the short lines
  const qsizetype end = std::min(start + kPieceChars, size);
  for (at = start + kLinesChars; at < end; ++at)
    if (wide[at] == u'\n') return at + 1;  // the long line ends in this piece
  if (end == size) return size;
  if (wide[end - 1] == u'\r') return end + 1;  // the LF that follows stays with its CR
  if (QChar::isHighSurrogate(wide[end - 1])) return end - 1;
  return end;
}

QString LargeText::PieceText(qsizetype index) const {
  const qsizetype start = fStarts[static_cast<std::size_t>(index)];
  qsizetype end = fStarts[static_cast<std::size_t>(index) + 1];
  if (fIsAscii) return QString::fromLatin1(fAscii.data() + start, end - start);
  const char16_t* wide = fWide.data();
  if (index + 1 < PieceCount() && end - start >= 2 && wide[end - 1] == u'\n') end -= 2;
  QString text;
  text.reserve(end - start);
  qsizetype run = start;
  for (qsizetype i = start; i < end; ++i) {
    if (wide[i] != u'\r') continue;
    text.append(reinterpret_cast<const QChar*>(wide + run), i - run);
    text.append(QChar::LineSeparator);
    run = i + 2;
    ++i;
  }
  text.append(reinterpret_cast<const QChar*>(wide + run), end - run);
  return text;
}

qsizetype LargeText::TextOffset(qsizetype index, qsizetype at) const {
  qsizetype offset = fStarts[static_cast<std::size_t>(index)];
  if (fIsAscii) return std::min(offset + at, Size());
  // Each line separator of the piece stands for a CR LF.
  const char16_t* wide = fWide.data();
  const qsizetype end = fStarts[static_cast<std::size_t>(index) + 1];
  for (qsizetype i = 0; i < at && offset < end; ++i) offset += wide[offset] == u'\r' ? 2 : 1;
  return std::min(offset, end);
}

QString LargeText::Text(QStringView line_break) const {
  if (fIsAscii) return QString::fromLatin1(fAscii.data(), Size());
  const std::u16string_view all = Wide();
  QString text;
  text.reserve(static_cast<qsizetype>(all.size()));
  std::size_t run = 0;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i] != u'\r') continue;
    text.append(reinterpret_cast<const QChar*>(all.data() + run), static_cast<qsizetype>(i - run));
    text.append(line_break);
    run = i + 2;
    ++i;
  }
  text.append(reinterpret_cast<const QChar*>(all.data() + run), static_cast<qsizetype>(all.size() - run));
  return text;
}

SecretText LargeText::CodecText() const {
  if (!fIsAscii) return fWide;
  return SecretText(fAscii.begin(), fAscii.end());
}

}  // namespace velsor
