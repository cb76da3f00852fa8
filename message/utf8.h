#pragma once
// UTF-8 sequences, for the code that reads and writes them at the edges: what
// a lead byte starts, and the bytes of a code point.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace velsor {

// A multi-byte sequence as its lead byte announces it: the lead's share of the
// code point, the continuation bytes that follow, and the smallest code point
// such a sequence may carry (anything smaller is an overlong form).
struct Utf8Lead {
  uint32_t bits;
  std::size_t trail;
  uint32_t minimum;
};

// Nothing for a byte that cannot lead a multi-byte sequence (ASCII, a
// continuation byte, C0, C1, F5-FF).
inline std::optional<Utf8Lead> Utf8LeadOf(uint8_t lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return Utf8Lead{lead & 0x1Fu, 1, 0x80};
  if (lead >= 0xE0 && lead <= 0xEF) return Utf8Lead{lead & 0x0Fu, 2, 0x800};
  if (lead >= 0xF0 && lead <= 0xF4) return Utf8Lead{lead & 0x07u, 3, 0x10000};
  return std::nullopt;
}

// True for a code point that a finished sequence may carry.
inline bool Utf8Allows(uint32_t cp, const Utf8Lead& lead) {
  return cp >= lead.minimum && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
}

// Writes the UTF-8 of cp (at most 4 bytes) at out; returns the count.
inline std::size_t PutUtf8(char32_t cp, char* out) {
  if (cp < 0x80) {
    out[0] = static_cast<char>(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = static_cast<char>(0xC0 | (cp >> 6));
    out[1] = static_cast<char>(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (cp >> 12));
    out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (cp & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (cp >> 18));
  out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (cp & 0x3F));
  return 4;
}

}  // namespace velsor
