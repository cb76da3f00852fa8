#pragma once
// The text form of a message: four uppercase hexadecimal digits per UTF-16
// code unit, most significant digit first, nothing between the groups.

#include <stdexcept>
#include <string>

namespace velsor {

// A group of HexToString's input that is not hexadecimal.
class HexConversionError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

std::u16string StringToHex(const std::u16string& text);
// Reads groups of four digits; a final group of two or three digits gives one
// code unit of that smaller value, a final single digit is dropped.
std::u16string HexToString(const std::u16string& text);
// True when every code unit is 0-9 or A-F (uppercase); the empty text is.
bool IsHexString(const std::u16string& text);

}  // namespace velsor
