#pragma once
// Passphrase bytes: UTF-16 text in Windows-1252, the 8-bit code page that every
// reader and writer of the format uses, so that the same passphrase derives
// the same key everywhere.

#include <cstddef>
#include <optional>
#include <string_view>

#include "crypto/bytes.h"

namespace velsor {

// U+0000-U+007F and U+00A0-U+00FF map to the same byte; the characters that
// Windows-1252 places at 0x80-0x9F map there (U+0081, U+008D, U+008F, U+0090
// and U+009D to themselves); every other character becomes "?".
SecretNarrow ToAnsiCodePage(std::u16string_view text);

// The first character that Windows-1252 lacks: the character and its 1-based
// position in characters (a surrogate pair is one character); nothing when the
// code page holds them all.
struct Unrepresentable {
  char32_t character;
  std::size_t position;
};
std::optional<Unrepresentable> FirstUnrepresentable(std::u16string_view text);

}  // namespace velsor
