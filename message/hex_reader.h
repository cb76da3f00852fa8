#pragma once
// The one reader of hex texts for the window and velsor-cli: digits in either
// case, spaces and line breaks anywhere, other control characters only before
// the first digit or after the last (as a trimmed text has them). It takes the
// text in pieces of any size and writes the envelope bytes straight out, so a
// caller can cut the envelope wherever it needs to.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "message/simd_level.h"

namespace velsor {

class HexTextReader {
 public:
  struct Step {
    std::size_t consumed;  // characters taken from the piece
    std::size_t written;   // envelope bytes written
  };

  // level chooses the width of the digit runs' decoding; only tests pass one.
  explicit HexTextReader(SimdLevel level = ActiveSimdLevel()) : fLevel(level) {}

  // Reads characters of the piece until it ends or capacity bytes (an even
  // number) are written to out. Raises MessageError "Not a hex text: 'G' at
  // position 17" (1-based, in the whole text) at the first character that is
  // not allowed where it stands.
  Step Read(std::string_view piece, uint8_t* out, std::size_t capacity);
  Step Read(std::u16string_view piece, uint8_t* out, std::size_t capacity);

  // Ends the text: raises MessageError for a character still being read, for
  // a text without digits and for a digit count that is not a multiple of 4.
  void Finish();

  uint64_t Digits() const { return fDigits; }

 private:
  template <typename CharT>
  Step ReadPiece(const CharT* chars, std::size_t count, uint8_t* out, std::size_t capacity);
  std::size_t CollectBadUtf8(std::string_view piece);
  [[noreturn]] void FailBadUtf8() const;

  SimdLevel fLevel;
  uint64_t fPosition = 0;  // characters read before the current piece
  uint64_t fDigits = 0;
  uint32_t fGroup = 0;  // digits of the group read so far
  // A control character after a digit: an error only if another digit follows.
  uint64_t fControlPosition = 0;
  char32_t fControl = 0;
  // A non-ASCII UTF-8 character that ends a hex text, whose bytes may run past
  // the end of a piece: collected to name it in the error.
  std::array<uint8_t, 4> fBad{};
  std::size_t fBadHave = 0;
  std::size_t fBadNeed = 0;
  uint64_t fBadPosition = 0;
};

// Describes a character for an error text: 'G' when printable ASCII, U+XXXX
// otherwise.
std::string DescribeCharacter(char32_t c);

}  // namespace velsor
