#pragma once
// The text form of a message: four uppercase hexadecimal digits per UTF-16
// code unit, most significant digit first, nothing between the groups.

#include <string>
#include <string_view>

#include "crypto/components.h"

namespace velsor {

// A hex text that holds something other than hexadecimal digits.
class HexConversionError : public Exception {
 public:
  using Exception::Exception;
};

std::u16string StringToHex(const std::u16string& text);
// Reads groups of four digits; a final group of two or three digits gives one
// code unit of that smaller value, a final single digit is dropped.
std::u16string HexToString(const std::u16string& text);
// True when every code unit is 0-9 or A-F (uppercase); the empty text is.
bool IsHexString(const std::u16string& text);

// A hex text as people paste it: digits in either case, wrapped by mail
// programs, with spaces. Returns the digits in uppercase without spaces and
// line breaks (space, tab, CR, LF, FF, VT); raises HexConversionError naming
// the first other character and its 1-based byte position.
std::u16string NormalizeHexInput(std::string_view input);

}  // namespace velsor
