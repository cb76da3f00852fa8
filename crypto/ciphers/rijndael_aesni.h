#pragma once
// Rijndael with the AES instructions of x86 processors. The functions read the
// round keys that Rijndael's own key schedule builds: rows of kRowWords words,
// each row's first four words being the round key in block byte order, the
// encryption rows for encryption and the equivalent-inverse-cipher rows for
// decryption, which are exactly the keys the AESDEC instruction expects.
// Call them only when DetectedCpu().aes is set; elsewhere they are absent.

#include <cstddef>
#include <cstdint>

#include "crypto/cpu_features.h"

namespace velsor::aesni {

inline constexpr int kRowWords = 8;

#ifdef VELSOR_X86_EXTENSIONS
// One block; in and out may be the same block.
void EncryptBlock(const uint32_t* rk, int rounds, const uint8_t* in, uint8_t* out);
void DecryptBlock(const uint32_t* drk, int rounds, const uint8_t* in, uint8_t* out);

// CBC over n whole blocks starting from the chaining value cv, which receives
// the last ciphertext block. in and out may be the same memory. Decryption
// runs eight independent blocks at a time.
void EncryptCbc(const uint32_t* rk, int rounds, const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv);
void DecryptCbc(const uint32_t* drk, int rounds, const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv);
// The same with the AES instructions on 256-bit vectors, sixteen blocks in
// flight; call it only when DetectedCpu().vaes is set.
void DecryptCbcWide(const uint32_t* drk, int rounds, const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv);
#endif

}  // namespace velsor::aesni
