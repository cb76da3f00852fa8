#include "crypto/ciphers/serpent.h"

#include <array>
#include <bit>
#include <cstring>
#include <utility>

#include "crypto/self_test.h"

namespace velsor {

namespace {

using Sbox = std::array<uint8_t, 16>;

// In bitslice form bit j of the words x0..x3 is the 4-bit input of column j,
// x0 the least significant bit. Every S-box output bit is written in its
// algebraic normal form, an XOR of AND-products of the input bits, so each
// S-box becomes a fixed sequence of AND and XOR on whole words (NOT being an
// XOR with the all-ones product of no bits). Bit m of out[i] says whether the
// product of the input bits set in m appears in output bit i.
struct Anf {
  std::array<uint16_t, 4> out{};
};

constexpr Anf AnfOf(const Sbox& box) {
  Anf anf;
  for (int i = 0; i < 4; ++i) {
    // The Moebius transform turns the truth table of output bit i into its coefficients.
    std::array<uint8_t, 16> f{};
    for (int x = 0; x < 16; ++x) f[x] = static_cast<uint8_t>((box[x] >> i) & 1);
    for (int step = 1; step < 16; step <<= 1) {
      for (int x = 0; x < 16; ++x) {
        if (x & step) f[x] = static_cast<uint8_t>(f[x] ^ f[x ^ step]);
      }
    }
    for (int m = 0; m < 16; ++m) anf.out[i] = static_cast<uint16_t>(anf.out[i] | (f[m] << m));
  }
  return anf;
}

constexpr Sbox InverseOf(const Sbox& box) {
  Sbox inverse{};
  for (int x = 0; x < 16; ++x) inverse[box[x]] = static_cast<uint8_t>(x);
  return inverse;
}

struct SboxForms {
  std::array<Anf, 8> forward{};
  std::array<Anf, 8> inverse{};
};

constexpr SboxForms MakeForms(const std::array<Sbox, 8>& boxes) {
  SboxForms forms;
  for (int b = 0; b < 8; ++b) {
    forms.forward[b] = AnfOf(boxes[b]);
    forms.inverse[b] = AnfOf(InverseOf(boxes[b]));
  }
  return forms;
}

// S0..S7 of the Serpent submission, as the values S(0)..S(15).
constexpr std::array<Sbox, 8> kSboxes = {{
    {3, 8, 15, 1, 10, 6, 5, 11, 14, 13, 4, 2, 7, 0, 9, 12},
    {15, 12, 2, 7, 9, 0, 5, 10, 1, 11, 14, 8, 6, 13, 3, 4},
    {8, 6, 7, 9, 3, 12, 10, 15, 13, 1, 14, 4, 0, 11, 5, 2},
    {0, 15, 11, 8, 12, 9, 6, 3, 13, 1, 2, 4, 10, 7, 5, 14},
    {1, 15, 8, 3, 12, 0, 11, 6, 2, 5, 4, 10, 9, 14, 7, 13},
    {15, 5, 2, 11, 4, 10, 9, 12, 0, 3, 14, 8, 13, 6, 7, 1},
    {7, 2, 12, 5, 8, 4, 6, 11, 14, 9, 1, 15, 13, 3, 10, 0},
    {1, 13, 15, 0, 14, 8, 2, 11, 7, 4, 12, 10, 9, 3, 5, 6},
}};

constexpr SboxForms kForms = MakeForms(kSboxes);

// Output bit i: the XOR of the products whose coefficient is set. The
// coefficients are template arguments, so the choice folds away at compile
// time and no data reaches a table or a branch.
template <uint16_t Coefficients>
inline uint32_t Combine(const uint32_t* product) {
  return [product]<std::size_t... m>(std::index_sequence<m...>) {
    return ((((Coefficients >> m) & 1U) != 0 ? product[m] : 0U) ^ ...);
  }
  (std::make_index_sequence<16>{});
}

// Substitutes all 32 columns of x at once with S-box Box or its inverse.
template <int Box, bool Inverse>
inline void Substitute(uint32_t* x) {
  constexpr Anf form = Inverse ? kForms.inverse[Box] : kForms.forward[Box];
  uint32_t product[16];
  product[0] = 0xffffffffU;
  for (int bit = 0; bit < 4; ++bit) {
    const int high = 1 << bit;
    for (int m = 0; m < high; ++m) product[high + m] = product[m] & x[bit];
  }
  x[0] = Combine<form.out[0]>(product);
  x[1] = Combine<form.out[1]>(product);
  x[2] = Combine<form.out[2]>(product);
  x[3] = Combine<form.out[3]>(product);
}

template <int Box>
inline void Forward(uint32_t* x) {
  Substitute<Box, false>(x);
}
template <int Box>
inline void Backward(uint32_t* x) {
  Substitute<Box, true>(x);
}

// The linear transformation LT and its inverse.
inline void Transform(uint32_t* x) {
  x[0] = std::rotl(x[0], 13);
  x[2] = std::rotl(x[2], 3);
  x[1] ^= x[0] ^ x[2];
  x[3] ^= x[2] ^ (x[0] << 3);
  x[1] = std::rotl(x[1], 1);
  x[3] = std::rotl(x[3], 7);
  x[0] ^= x[1] ^ x[3];
  x[2] ^= x[3] ^ (x[1] << 7);
  x[0] = std::rotl(x[0], 5);
  x[2] = std::rotl(x[2], 22);
}

inline void InverseTransform(uint32_t* x) {
  x[2] = std::rotr(x[2], 22);
  x[0] = std::rotr(x[0], 5);
  x[2] ^= x[3] ^ (x[1] << 7);
  x[0] ^= x[1] ^ x[3];
  x[3] = std::rotr(x[3], 7);
  x[1] = std::rotr(x[1], 1);
  x[3] ^= x[2] ^ (x[0] << 3);
  x[1] ^= x[0] ^ x[2];
  x[2] = std::rotr(x[2], 3);
  x[0] = std::rotr(x[0], 13);
}

inline void AddKey(uint32_t* x, const uint32_t* k) {
  for (int i = 0; i < 4; ++i) x[i] ^= k[i];
}

// One round r of the encryption with S-box Box = r mod 8; the last round
// replaces LT by the final key.
template <int Box>
inline void EncryptRound(uint32_t* x, const uint32_t* keys, int r) {
  AddKey(x, keys + 4 * r);
  Forward<Box>(x);
  if (r < 31) {
    Transform(x);
  } else {
    AddKey(x, keys + 4 * 32);
  }
}

template <int Box>
inline void DecryptRound(uint32_t* x, const uint32_t* keys, int r) {
  if (r < 31) InverseTransform(x);
  Backward<Box>(x);
  AddKey(x, keys + 4 * r);
}

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
  const uint32_t* keys = fRoundKeys.data();
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
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  for (int i = 0; i < 4; ++i) store_le32(out + 4 * i, x[i]);
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
