#include "crypto/ciphers/serpent.h"

#include <array>
#include <bit>
#include <cstring>
#include <type_traits>
#include <utility>

#include "crypto/ciphers/serpent_sboxes.h"
#include "crypto/self_test.h"

namespace velsor {

namespace {

// The rounds below work on any word type W whose lanes are 32-bit words: a
// plain uint32_t for one block, or a vector of them for several independent
// blocks at once (lane j holding block j).
template <class W>
inline W Rotl(W x, int n) {
  if constexpr (std::is_same_v<W, uint32_t>) {
    return std::rotl(x, n);
  } else {
    return (x << n) | (x >> (32 - n));
  }
}
template <class W>
inline W Rotr(W x, int n) {
  return Rotl(x, 32 - n);
}

template <int Box, class W>
VELSOR_ALWAYS_INLINE void Forward(W* x) {
  serpent_sboxes::Substitute<Box, false>(x);
}
template <int Box, class W>
VELSOR_ALWAYS_INLINE void Backward(W* x) {
  serpent_sboxes::Substitute<Box, true>(x);
}

// The linear transformation LT and its inverse.
template <class W>
inline void Transform(W* x) {
  x[0] = Rotl(x[0], 13);
  x[2] = Rotl(x[2], 3);
  x[1] ^= x[0] ^ x[2];
  x[3] ^= x[2] ^ (x[0] << 3);
  x[1] = Rotl(x[1], 1);
  x[3] = Rotl(x[3], 7);
  x[0] ^= x[1] ^ x[3];
  x[2] ^= x[3] ^ (x[1] << 7);
  x[0] = Rotl(x[0], 5);
  x[2] = Rotl(x[2], 22);
}

template <class W>
inline void InverseTransform(W* x) {
  x[2] = Rotr(x[2], 22);
  x[0] = Rotr(x[0], 5);
  x[2] ^= x[3] ^ (x[1] << 7);
  x[0] ^= x[1] ^ x[3];
  x[3] = Rotr(x[3], 7);
  x[1] = Rotr(x[1], 1);
  x[3] ^= x[2] ^ (x[0] << 3);
  x[1] ^= x[0] ^ x[2];
  x[2] = Rotr(x[2], 3);
  x[0] = Rotr(x[0], 13);
}

template <class W>
inline void AddKey(W* x, const uint32_t* k) {
  for (int i = 0; i < 4; ++i) x[i] ^= k[i];
}

// One round r of the encryption with S-box Box = r mod 8; the last round
// replaces LT by the final key.
template <int Box, class W>
inline void EncryptRound(W* x, const uint32_t* keys, int r) {
  AddKey(x, keys + 4 * r);
  Forward<Box>(x);
  if (r < 31) {
    Transform(x);
  } else {
    AddKey(x, keys + 4 * 32);
  }
}

template <int Box, class W>
inline void DecryptRound(W* x, const uint32_t* keys, int r) {
  if (r < 31) InverseTransform(x);
  Backward<Box>(x);
  AddKey(x, keys + 4 * r);
}

template <class W>
inline void DecryptWords(W* x, const uint32_t* keys) {
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

#if defined(__GNUC__) || defined(__clang__)
// Four blocks side by side in the lanes of a 128-bit vector; the compiler maps
// it onto the SIMD registers of the target (SSE2 on baseline x86-64, NEON on
// ARM), or onto plain words where there are none.
constexpr std::size_t kLanes = 4;
using Lanes = uint32_t __attribute__((vector_size(4 * kLanes)));
#endif

// Round key k uses S-box (3 - k) mod 8.
void SubstituteKey(int k, uint32_t* x) {
  switch ((35 - k) % 8) {
    case 0: Forward<0>(x); break;
    case 1: Forward<1>(x); break;
    case 2: Forward<2>(x); break;
    case 3: Forward<3>(x); break;
    case 4: Forward<4>(x); break;
    case 5: Forward<5>(x); break;
    case 6: Forward<6>(x); break;
    default: Forward<7>(x); break;
  }
}

// The golden-ratio constant of the prekey recurrence.
constexpr uint32_t kPhi = 0x9e3779b9;

}  // namespace

void Serpent::ScheduleKey(const void* Key, uint32_t Size) {
  const uint32_t n = Size / 8;
  SecretArray<uint32_t, 140> w;  // the prekeys w0..w139; w0..w7 are the padded key
  SecretArray<uint8_t, 32> key;
  std::memcpy(key.data(), Key, n);
  for (int i = 0; i < 8; ++i) w[i] = load_le32(key.data() + 4 * i);
  // A short key gets a single 1 bit right after it; the bits of a partial
  // last byte are not read and stay 0.
  if (Size < 256) w[Size / 32] |= 1U << (Size % 32);

  for (uint32_t i = 8; i < 140; ++i) w[i] = std::rotl(w[i - 8] ^ w[i - 5] ^ w[i - 3] ^ w[i - 1] ^ kPhi ^ (i - 8), 11);
  for (int k = 0; k < kRoundKeys; ++k) {
    uint32_t* round_key = fRoundKeys.data() + 4 * k;
    std::memcpy(round_key, w.data() + 8 + 4 * k, 4 * sizeof(uint32_t));
    SubstituteKey(k, round_key);
  }
}

void Serpent::Burn() {
  fRoundKeys.Wipe();
  BlockCipher128::Burn();
}

void Serpent::EncryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint32_t x[4];
  for (int i = 0; i < 4; ++i) x[i] = load_le32(in + 4 * i);
  const uint32_t* keys = fRoundKeys.data();
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
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  for (int i = 0; i < 4; ++i) store_le32(out + 4 * i, x[i]);
}

void Serpent::DecryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint32_t x[4];
  for (int i = 0; i < 4; ++i) x[i] = load_le32(in + 4 * i);
  DecryptWords(x, fRoundKeys.data());
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  for (int i = 0; i < 4; ++i) store_le32(out + 4 * i, x[i]);
}

void Serpent::DecryptBlocks(const uint8_t* in, uint8_t* out, std::size_t n) {
#if defined(__GNUC__) || defined(__clang__)
  for (; n >= kLanes; n -= kLanes, in += 16 * kLanes, out += 16 * kLanes) {
    Lanes x[4];
    for (int i = 0; i < 4; ++i) {
      for (std::size_t j = 0; j < kLanes; ++j) x[i][j] = load_le32(in + 16 * j + 4 * i);
    }
    DecryptWords(x, fRoundKeys.data());
    for (int i = 0; i < 4; ++i) {
      for (std::size_t j = 0; j < kLanes; ++j) store_le32(out + 16 * j + 4 * i, x[i][j]);
    }
    secure_wipe(x, sizeof x);
  }
#endif
  BlockCipher128::DecryptBlocks(in, out, n);
}

bool Serpent::SelfTest() {
  // NESSIE Serpent test vectors, set 1 vector 0 for each key size, in this
  // component's byte order (Botan Serpent gives the same).
  return self_test::BlockCipherKnownAnswers<Serpent>({
      {"80000000000000000000000000000000", "00000000000000000000000000000000", "264e5481eff42a4606abda06c0bfda3d"},
      {"800000000000000000000000000000000000000000000000", "00000000000000000000000000000000",
       "9e274ead9b737bb21efcfca548602689"},
      {"8000000000000000000000000000000000000000000000000000000000000000", "00000000000000000000000000000000",
       "a223aa1288463c0e2be38ebd825616c0"},
  });
}

}  // namespace velsor
