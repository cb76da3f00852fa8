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
#include <utility>

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

// Eight rounds from round r on, with S-boxes S0..S7 encrypting and S7..S0
// decrypting.
template <class W, int... Box>
VELSOR_ALWAYS_INLINE void EncryptPass(W* x, const uint32_t* keys, int r, std::integer_sequence<int, Box...>) {
  (EncryptRound<Box>(x, keys, r + Box), ...);
}
template <class W, int... Box>
VELSOR_ALWAYS_INLINE void DecryptPass(W* x, const uint32_t* keys, int r, std::integer_sequence<int, Box...>) {
  (DecryptRound<7 - Box>(x, keys, r + 7 - Box), ...);
}

// The 32 rounds on x[0..3], with the round keys K0..K32 (four words each).
template <class W>
VELSOR_ALWAYS_INLINE void EncryptWords(W* x, const uint32_t* keys) {
  for (int r = 0; r < 32; r += 8) EncryptPass(x, keys, r, std::make_integer_sequence<int, 8>{});
}

template <class W>
VELSOR_ALWAYS_INLINE void DecryptWords(W* x, const uint32_t* keys) {
  AddKey(x, keys + 4 * 32);
  for (int r = 24; r >= 0; r -= 8) DecryptPass(x, keys, r, std::make_integer_sequence<int, 8>{});
}

}  // namespace velsor::serpent_rounds
