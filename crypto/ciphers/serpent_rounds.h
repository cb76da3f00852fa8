#pragma once

// Serpent's rounds on any word type W whose lanes are 32-bit words: a plain
// uint32_t for one block, or a vector of them for several independent blocks
// at once (lane j holding block j). The single-block code, the portable
// multi-block code and the AVX2 code all instantiate these, so there is one
// copy of the cipher. Everything is inlined into its caller, which lets a
// caller compiled for a wider instruction set run these on its vectors.

#include <bit>
#include <cstdint>
#include <type_traits>

#include "crypto/ciphers/serpent_sboxes.h"

namespace velsor::serpent_rounds {

// Rotations in place: a vector never travels by value through a call, whose
// convention would depend on the instruction set the caller is built for.
template <class W>
VELSOR_ALWAYS_INLINE void RotateLeft(W& x, int n) {
  if constexpr (std::is_same_v<W, uint32_t>) {
    x = std::rotl(x, n);
  } else {
    x = (x << n) | (x >> (32 - n));
  }
}
template <class W>
VELSOR_ALWAYS_INLINE void RotateRight(W& x, int n) {
  RotateLeft(x, 32 - n);
}

// The linear transformation LT and its inverse.
template <class W>
VELSOR_ALWAYS_INLINE void Transform(W* x) {
  RotateLeft(x[0], 13);
  RotateLeft(x[2], 3);
  x[1] ^= x[0] ^ x[2];
  x[3] ^= x[2] ^ (x[0] << 3);
  RotateLeft(x[1], 1);
  RotateLeft(x[3], 7);
  x[0] ^= x[1] ^ x[3];
  x[2] ^= x[3] ^ (x[1] << 7);
  RotateLeft(x[0], 5);
  RotateLeft(x[2], 22);
}

template <class W>
VELSOR_ALWAYS_INLINE void InverseTransform(W* x) {
  RotateRight(x[2], 22);
  RotateRight(x[0], 5);
  x[2] ^= x[3] ^ (x[1] << 7);
  x[0] ^= x[1] ^ x[3];
  RotateRight(x[3], 7);
  RotateRight(x[1], 1);
  x[3] ^= x[2] ^ (x[0] << 3);
  x[1] ^= x[0] ^ x[2];
  RotateRight(x[2], 3);
  RotateRight(x[0], 13);
}

// Round key k, four words, XORed into every lane.
template <class W>
VELSOR_ALWAYS_INLINE void AddKey(W* x, const uint32_t* k) {
  for (int i = 0; i < 4; ++i) x[i] ^= k[i];
}

// One round r of the encryption with S-box Box = r mod 8; the last round
// replaces LT by the final key.
template <int Box, class W>
VELSOR_ALWAYS_INLINE void EncryptRound(W* x, const uint32_t* keys, int r) {
  AddKey(x, keys + 4 * r);
  serpent_sboxes::Substitute<Box, false>(x);
  if (r < 31) {
    Transform(x);
  } else {
    AddKey(x, keys + 4 * 32);
  }
}

template <int Box, class W>
VELSOR_ALWAYS_INLINE void DecryptRound(W* x, const uint32_t* keys, int r) {
  if (r < 31) InverseTransform(x);
  serpent_sboxes::Substitute<Box, true>(x);
  AddKey(x, keys + 4 * r);
}

// The 32 rounds on x[0..3], with the round keys K0..K32 (four words each).
template <class W>
VELSOR_ALWAYS_INLINE void EncryptWords(W* x, const uint32_t* keys) {
  for (int r = 0; r < 32; r += 8) {
    EncryptRound<0>(x, keys, r);
    EncryptRound<1>(x, keys, r + 1);
    EncryptRound<2>(x, keys, r + 2);
    EncryptRound<3>(x, keys, r + 3);
    EncryptRound<4>(x, keys, r + 4);
    EncryptRound<5>(x, keys, r + 5);
    EncryptRound<6>(x, keys, r + 6);
    EncryptRound<7>(x, keys, r + 7);
  }
}

template <class W>
VELSOR_ALWAYS_INLINE void DecryptWords(W* x, const uint32_t* keys) {
  AddKey(x, keys + 4 * 32);
  for (int r = 24; r >= 0; r -= 8) {
    DecryptRound<7>(x, keys, r + 7);
    DecryptRound<6>(x, keys, r + 6);
    DecryptRound<5>(x, keys, r + 5);
    DecryptRound<4>(x, keys, r + 4);
    DecryptRound<3>(x, keys, r + 3);
    DecryptRound<2>(x, keys, r + 2);
    DecryptRound<1>(x, keys, r + 1);
    DecryptRound<0>(x, keys, r);
  }
}

}  // namespace velsor::serpent_rounds
