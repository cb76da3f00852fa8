#include "message/text_check.h"

#include <cstddef>
#include <cstdint>

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

bool LooksLikeText(std::u16string_view text) {
  std::size_t code_points = 0;
  std::size_t unusual = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (IsHighSurrogate(cp) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
      ++i;
    } else if (IsHighSurrogate(cp) || IsLowSurrogate(cp)) {
      return false;
    }
    ++code_points;
    if (IsUnusual(cp)) ++unusual;
  }
  return unusual * kUnusualShare <= code_points;
}

}  // namespace velsor
