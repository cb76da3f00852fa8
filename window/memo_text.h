#pragma once
// Small judgements about the memo's text that the window's status line and
// its Enter and Copy choices rest on.

#include <QString>
#include <QStringView>
#include <string_view>

namespace velsor {

// The characters a person counts: a surrogate pair is one, and so is CR LF.
qsizetype CountCharacters(std::u16string_view text);
qsizetype CountCharacters(QStringView text);

// The length of the text up to its first code unit 0, or its whole length.
std::size_t LengthBeforeNul(std::u16string_view text);

// True when nothing is left once every code unit up to U+0020 is trimmed.
bool IsBlank(std::u16string_view text);

// True when the text reads as a hex text, as Decrypt takes it: digits in
// either case, spaces and line breaks anywhere, a multiple of 4 digits.
bool HoldsHexText(std::u16string_view text);
bool HoldsHexText(QStringView text);

// Overwrites the characters of a text this code owns alone. A text that
// shares its characters with another (a widget's, say) is left as it is:
// writing to it would only wipe a fresh copy.
void WipeOwnedText(QString& text);

}  // namespace velsor
