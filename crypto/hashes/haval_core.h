#pragma once
// The HAVAL-256/5 core behind the Haval component: initial words, the 5-pass
// compression and the finishing with its ten-byte tail, the first padding
// byte being a parameter. The component pads with 0x80; with 0x01 the same
// core gives the published HAVAL-256/5 values, which is how it is checked.

#include <cstddef>
#include <cstdint>

#include "crypto/hashes/hash_buffer.h"

namespace velsor::haval_core {

inline constexpr std::size_t kBlockBytes = 128;
inline constexpr std::size_t kTailBytes = 10;  // version, passes, fingerprint length, bit count

void LoadInitialValues(uint32_t* h);
void Compress(uint32_t* h, const uint8_t* block);

// Pads the message with marker, zeros and the tail, runs the last
// compressions into h and writes the 32-byte digest.
void Finish(HashBlockBuffer<kBlockBytes>& message, uint32_t* h, uint8_t marker, uint8_t* digest);

// The digest of a whole message in one call.
void Digest(const void* data, uint32_t size, uint8_t marker, uint8_t* digest);

}  // namespace velsor::haval_core
