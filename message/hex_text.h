#pragma once
// The text form of a message: four uppercase hexadecimal digits per UTF-16
// code unit, most significant digit first, nothing between the groups.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "crypto/components.h"

namespace velsor {

// A hex text that holds something other than hexadecimal digits.
class HexConversionError : public Exception {
 public:
  using Exception::Exception;
};

std::u16string StringToHex(std::u16string_view text);
// Reads groups of four digits; a final group of two or three digits gives one
// code unit of that smaller value, a final single digit is dropped.
std::u16string HexToString(std::u16string_view text);
// True when every code unit is 0-9 or A-F (uppercase); the empty text is.
bool IsHexString(std::u16string_view text);

// The hex text of envelope bytes, seen as little-endian code units: writes
// 2 x size ASCII digits to out. size is even.
void EnvelopeToHex(const uint8_t* bytes, std::size_t size, char* out);
void EnvelopeToHex(const uint8_t* bytes, std::size_t size, char16_t* out);

}  // namespace velsor
