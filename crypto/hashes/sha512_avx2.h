#pragma once
// SHA-384 and SHA-512 compression for x86 processors with BMI2 and AVX2: the
// steps run on the general registers (rorx rotates without a copy, andn), and
// the message schedule runs four words at a time on 256-bit vectors beside
// them. Call it only when DetectedCpu().avx2 and .bmi2 are set; elsewhere it
// is absent.

#include <cstddef>
#include <cstdint>

#include "crypto/cpu_features.h"

namespace velsor::sha512avx2 {

#ifdef VELSOR_X86_EXTENSIONS
// count consecutive 128-byte blocks into H0..H7; k holds the 80 round
// constants, kw the 80 words of K[t] + W[t] of the block being compressed
// (left there for the owner to wipe).
void Compress(uint64_t* state, const uint8_t* blocks, std::size_t count, const uint64_t* k, uint64_t* kw);
#endif

}  // namespace velsor::sha512avx2
