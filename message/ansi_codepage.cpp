#include "message/ansi_codepage.h"

#include <array>
#include <cstdint>

namespace velsor {

namespace {

// The characters of Windows-1252 at 0x80-0x9F, by byte. The five bytes that
// the code page leaves unassigned map to the C1 control of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

// The byte of a code unit, or nothing when the code page lacks it.
std::optional<char> ByteOf(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == unit) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

SecretNarrow ToAnsiCodePage(std::u16string_view text) {
  SecretNarrow bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A character beyond the BMP is one character the code page lacks: one "?".
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      bytes.push_back('?');
      ++i;
      continue;
    }
    bytes.push_back(ByteOf(text[i]).value_or('?'));
  }
  return bytes;
}

std::optional<Unrepresentable> FirstUnrepresentable(std::u16string_view text) {
  std::size_t position = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    ++position;
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      return Unrepresentable{0x10000 + ((text[i] - 0xD800u) << 10) + (text[i + 1] - 0xDC00u), position};
    }
    if (!ByteOf(text[i])) return Unrepresentable{text[i], position};
  }
  return std::nullopt;
}

}  // namespace velsor
