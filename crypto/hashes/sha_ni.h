#pragma once
// SHA-1 and SHA-256 compression with the SHA extensions of x86 processors.
// Call them only when DetectedCpu().sha is set; elsewhere they are absent.

#include <cstddef>
#include <cstdint>

#include "crypto/cpu_features.h"

namespace velsor::shani {

#ifdef VELSOR_X86_EXTENSIONS
// count consecutive 64-byte blocks into the chaining values H0..H4.
void Sha1Compress(uint32_t* state, const uint8_t* blocks, std::size_t count);
// count consecutive 64-byte blocks into H0..H7; k holds the 64 round constants.
void Sha256Compress(uint32_t* state, const uint8_t* blocks, std::size_t count, const uint32_t* k);
#endif

}  // namespace velsor::shani
