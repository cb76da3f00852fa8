#pragma once
// Hex digits at memory speed: the envelope bytes to ASCII digits, and runs of
// digits back to bytes, at a chosen SimdLevel. The hex text of a code unit
// shows its high byte first; the envelope stores it second (little-endian).

#include <cstddef>
#include <cstdint>

#include "message/simd_level.h"

namespace velsor {

// Writes the 2 x size digits (uppercase ASCII, as 8-bit or 16-bit characters)
// of size envelope bytes (an even number) to out.
void EncodeHexUnits(const uint8_t* bytes, std::size_t size, char* out, SimdLevel level);
void EncodeHexUnits(const uint8_t* bytes, std::size_t size, char16_t* out, SimdLevel level);

// Decodes blocks of 16 or 32 characters from the start of chars while every
// character of a block is a hex digit (either case) and out has room for the
// block's bytes. Returns the characters taken, a multiple of 16 (the bytes
// written are half as many); whatever follows is left to the caller's own
// loop. The scalar level takes nothing.
std::size_t DecodeHexBlocks(const char* chars, std::size_t count, uint8_t* out, std::size_t capacity, SimdLevel level);
std::size_t DecodeHexBlocks(const char16_t* chars, std::size_t count, uint8_t* out, std::size_t capacity,
                            SimdLevel level);

}  // namespace velsor
