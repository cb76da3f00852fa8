#pragma once
// The ASCII runs of a text between UTF-8 bytes and UTF-16LE message bytes, at
// a chosen SimdLevel: most texts are mostly ASCII, and a run needs no decoding,
// only widening to two bytes or narrowing to one. The callers decode what
// stops a run (a line break, a multi-byte character) themselves.

#include <cstddef>
#include <cstdint>

#include "message/simd_level.h"

namespace velsor {

// Widens the bytes at the start of in that are below 0x80 and not stop into
// UTF-16LE code units at out (room for 2 x count bytes); returns how many.
// Neither function writes past the run it returns.
std::size_t WidenAscii(const uint8_t* in, std::size_t count, uint8_t stop, uint8_t* out, SimdLevel level);

// Narrows the UTF-16LE code units at the start of in (2 x units bytes) that are
// below 0x80 and not stop to bytes at out (room for units bytes); returns how many.
std::size_t NarrowAscii(const uint8_t* in, std::size_t units, uint16_t stop, char* out, SimdLevel level);

// Counts the UTF-16LE code units at the start of in (2 x units bytes) that
// are printable ASCII (0x20-0x7E), tab, LF, FF or CR: the units of a text
// that need no closer look.
std::size_t TextAsciiRun(const uint8_t* in, std::size_t units, SimdLevel level);

}  // namespace velsor
