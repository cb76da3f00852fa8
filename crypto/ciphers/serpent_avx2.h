#pragma once
// Serpent CBC decryption of many blocks at once with the AVX2 instructions of x86
// processors: sixteen blocks side by side, each 32-bit word of the state in
// the lanes of 256-bit vectors, through the same bitslice rounds as the
// portable code. Call it only when DetectedCpu().avx2 is set; elsewhere it is
// absent.

#include <cstddef>
#include <cstdint>

#include "crypto/cpu_features.h"

namespace velsor::serpent_avx2 {

#ifdef VELSOR_X86_EXTENSIONS
// CBC decryption of the leading blocks of the n at in (16 bytes each) into
// out, in groups of eight, with the round keys K0..K32 (four words each),
// chained from cv, which receives the last ciphertext block decrypted.
// Returns how many blocks it decrypted: n rounded down to a multiple of
// eight. in and out may be the same memory.
std::size_t DecryptCbc(const uint32_t* keys, const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv);
#endif

}  // namespace velsor::serpent_avx2
