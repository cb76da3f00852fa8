#include "message/hex_text.h"

#include <algorithm>

#include "message/hex_simd.h"

namespace velsor {

namespace {

constexpr char16_t kDigits[] = u"0123456789ABCDEF";

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

}  // namespace

std::u16string StringToHex(std::u16string_view text) {
  std::u16string hex;
  hex.reserve(text.size() * 4);
  for (const char16_t unit : text) {
    for (int shift = 12; shift >= 0; shift -= 4) hex.push_back(kDigits[(unit >> shift) & 0xF]);
  }
  return hex;
}

std::u16string HexToString(std::u16string_view text) {
  std::u16string result;
  result.reserve(text.size() / 4 + 1);
  // A group starts at every fourth character; one that is the last character
  // alone is dropped.
  for (std::size_t p = 0; p + 1 < text.size(); p += 4) {
    const std::size_t end = std::min(p + 4, text.size());
    unsigned value = 0;
    for (std::size_t i = p; i < end; ++i) {
      const int digit = HexValue(text[i]);
      if (digit < 0) throw HexConversionError("not a hexadecimal group at position " + std::to_string(p + 1));
      value = (value << 4) | static_cast<unsigned>(digit);
    }
    result.push_back(static_cast<char16_t>(value));
  }
  return result;
}

bool IsHexString(std::u16string_view text) {
  for (const char16_t c : text) {
    if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'))) return false;
  }
  return true;
}

void EnvelopeToHex(const uint8_t* bytes, std::size_t size, char* out) {
  EncodeHexUnits(bytes, size, out, ActiveSimdLevel());
}

void EnvelopeToHex(const uint8_t* bytes, std::size_t size, char16_t* out) {
  EncodeHexUnits(bytes, size, out, ActiveSimdLevel());
}

}  // namespace velsor
