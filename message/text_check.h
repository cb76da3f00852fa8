#pragma once
// Tells a decrypted result that is text from one that is not. The message
// format has no check value, so a wrong passphrase, cipher or hash yields
// meaningless code units rather than an error; this is the hint both
// programs show for it.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "message/simd_level.h"

namespace velsor {

// False when the text holds an unpaired surrogate, or when more than one
// code point in 32 is unusual in text: a control other than tab, line feed,
// form feed and carriage return (C0, DEL, C1), a private-use code point, a
// noncharacter, or one in the planes that hold nothing (4 to 13, and plane 14
// outside its tags and variation selectors). Random code units, which is what
// a wrong key gives, hit one of these about once in eight units; real text in
// any script, emoji included, almost never does. A result of a few characters
// can still pass by chance: the hint cannot replace a check value. The empty
// text is text.
bool LooksLikeText(std::u16string_view text);

// The same rule over a text that arrives in pieces (a surrogate pair may be
// split between two of them).
class TextCheck {
 public:
  // level chooses the width of the ASCII runs' scan; only tests pass one.
  explicit TextCheck(SimdLevel level = ActiveSimdLevel()) : fLevel(level) {}

  void Add(char16_t unit);
  void Add(std::u16string_view units);
  // Code units as little-endian byte pairs (an odd last byte is ignored).
  void AddUtf16Le(const uint8_t* bytes, std::size_t size);
  // The verdict over every unit added so far.
  bool LooksLikeText() const;

 private:
  void Count(char32_t code_point);

  SimdLevel fLevel;
  char16_t fPendingHigh = 0;  // a high surrogate waiting for its low half
  bool fUnpaired = false;
  std::size_t fCodePoints = 0;
  std::size_t fUnusual = 0;
};

}  // namespace velsor
