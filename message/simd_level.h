#pragma once
// How wide the text conversions (hex digits, ASCII to UTF-16LE and back) work:
// the scalar code everywhere, 128-bit vectors on every x86-64 processor, and
// 256-bit vectors where the processor and the system offer them. Every level
// gives the same bytes; the scalar code is what the others are checked against.

#include <vector>

namespace velsor {

enum class SimdLevel { kScalar, kSse2, kAvx2 };

// The widest level this build and processor run; kScalar under
// VELSOR_PORTABLE_CRYPTO=1 and while a PortableCryptoScope lives.
SimdLevel ActiveSimdLevel();

// Every level this build and processor can run, kScalar first: the tests put
// each beside the scalar code.
std::vector<SimdLevel> AvailableSimdLevels();

}  // namespace velsor
