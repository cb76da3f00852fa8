#include "message/text_check.h"

#include <cstdint>

#include "crypto/bytes.h"

namespace velsor {

namespace {

// At most one code point in this many may be unusual in text. Random code units
// are unusual about once in eight, so even a short wrong result trips it, while
// a real text with a stray control or a private-use icon still passes.
constexpr std::size_t kUnusualShare = 32;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

bool IsUnusual(char32_t cp) {
  if (cp < 0x20) return cp != u'\t' && cp != u'\n' && cp != u'\f' && cp != u'\r';
  if (cp >= 0x7F && cp <= 0x9F) return true;                                   // DEL and the C1 controls
  if (cp >= 0xE000 && cp <= 0xF8FF) return true;                               // private use
  if ((cp >= 0xFDD0 && cp <= 0xFDEF) || (cp & 0xFFFE) == 0xFFFE) return true;  // noncharacters
  const char32_t plane = cp >> 16;
  if (plane >= 4 && plane <= 13) return true;                                    // nothing assigned there
  if (plane == 14) return !(cp <= 0xE007F || (cp >= 0xE0100 && cp <= 0xE01EF));  // tags, variation selectors
  return plane >= 15;                                                            // supplementary private use
}

}  // namespace

void TextCheck::Count(char32_t code_point) {
  ++fCodePoints;
  if (IsUnusual(code_point)) ++fUnusual;
}

void TextCheck::Add(char16_t unit) {
  if (fPendingHigh != 0) {
    const char32_t high = fPendingHigh;
    fPendingHigh = 0;
    if (IsLowSurrogate(unit)) return Count(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00u));
    fUnpaired = true;
  }
  if (IsHighSurrogate(unit)) {
    fPendingHigh = unit;
  } else if (IsLowSurrogate(unit)) {
    fUnpaired = true;
  } else {
    Count(unit);
  }
}

namespace {

constexpr std::size_t kRun = 32;

// True when each of kRun units is a whole code point and usual in text.
// Branch-free, so the compiler checks the run in vectors.
bool IsPlainRun(const char16_t* units) {
  unsigned unusual = 0;
  for (std::size_t j = 0; j < kRun; ++j) {
    const unsigned u = units[j];
    const unsigned plain = static_cast<unsigned>(u - 0x20u < 0x5Fu) | static_cast<unsigned>(u - 0x09u < 2u) |
                           static_cast<unsigned>(u - 0x0Cu < 2u) | static_cast<unsigned>(u - 0xA0u < 0xD800u - 0xA0u) |
                           static_cast<unsigned>(u - 0xF900u < 0xFDD0u - 0xF900u) |
                           static_cast<unsigned>(u - 0xFDF0u < 0xFFFEu - 0xFDF0u);
    unusual |= plain ^ 1u;
  }
  return unusual == 0;
}

}  // namespace

void TextCheck::Add(std::u16string_view units) {
  // Runs of plain units are counted at once; any other run unit by unit.
  std::size_t i = 0;
  for (; i + kRun <= units.size(); i += kRun) {
    if (fPendingHigh == 0 && IsPlainRun(units.data() + i)) {
      fCodePoints += kRun;
      continue;
    }
    for (std::size_t j = 0; j < kRun; ++j) Add(units[i + j]);
  }
  for (; i < units.size(); ++i) Add(units[i]);
}

void TextCheck::AddUtf16Le(const uint8_t* bytes, std::size_t size) {
  for (std::size_t i = 0; i + 1 < size; i += 2) Add(static_cast<char16_t>(load_le16(bytes + i)));
}

bool TextCheck::LooksLikeText() const {
  return !fUnpaired && fPendingHigh == 0 && fUnusual * kUnusualShare <= fCodePoints;
}

bool LooksLikeText(std::u16string_view text) {
  TextCheck check;
  check.Add(text);
  return check.LooksLikeText();
}

}  // namespace velsor
