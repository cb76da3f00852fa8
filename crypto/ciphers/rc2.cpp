#include "crypto/ciphers/rc2.h"

#include <bit>
#include <cstring>

#include "crypto/self_test.h"

namespace velsor {

namespace {

extern const uint8_t kPiTable[256];

// The words are uint16_t so that the sums wrap mod 2^16 by themselves and the
// rotations are single 16-bit rotate instructions. The selection
// (b & a) + (~b & c) of RFC 2268 picks each bit from a or c, so the sum is an
// OR, or c ^ ((a ^ c) & b): each form is shortest on the chain through the
// word that changed last, b when mixing up, c when mixing down.
inline uint16_t MixUp(uint16_t r, uint16_t k, uint16_t b, uint16_t a, uint16_t c, int s) {
  return std::rotl(static_cast<uint16_t>(r + k + (c ^ ((a ^ c) & b))), s);
}
inline uint16_t MixDown(uint16_t r, uint16_t k, uint16_t b, uint16_t a, uint16_t c, int s) {
  return static_cast<uint16_t>(std::rotr(r, s) - k - ((b & a) | (~b & c)));
}

// The inverse of one mixing round (words 3 down to 0) on N blocks, with the
// round's four key words k[0..3]. They are copied to locals so that the loop
// reads no memory besides the lanes.
template <std::size_t N>
inline void MixDownLanes(uint16_t (&r)[4][N], const uint16_t* k) {
  const uint16_t k0 = k[0], k1 = k[1], k2 = k[2], k3 = k[3];
  for (std::size_t b = 0; b < N; ++b) {
    r[3][b] = MixDown(r[3][b], k3, r[2][b], r[1][b], r[0][b], 5);
    r[2][b] = MixDown(r[2][b], k2, r[1][b], r[0][b], r[3][b], 3);
    r[1][b] = MixDown(r[1][b], k1, r[0][b], r[3][b], r[2][b], 2);
    r[0][b] = MixDown(r[0][b], k0, r[3][b], r[2][b], r[1][b], 1);
  }
}

// The inverse of one mashing round on N blocks.
template <std::size_t N>
inline void MashDownLanes(uint16_t (&r)[4][N], const uint16_t* k) {
  for (std::size_t b = 0; b < N; ++b) {
    r[3][b] = static_cast<uint16_t>(r[3][b] - k[r[2][b] & 63]);
    r[2][b] = static_cast<uint16_t>(r[2][b] - k[r[1][b] & 63]);
    r[1][b] = static_cast<uint16_t>(r[1][b] - k[r[0][b] & 63]);
    r[0][b] = static_cast<uint16_t>(r[0][b] - k[r[3][b] & 63]);
  }
}

}  // namespace

void Rc2::ScheduleKey(const void* Key, uint32_t Size) {
  const uint32_t t = Size / 8;
  SecretArray<uint8_t, 128> l;
  std::memcpy(l.data(), Key, t);
  for (uint32_t i = t; i < 128; ++i) l[i] = kPiTable[(l[i - 1] + l[i - t]) & 0xFF];
  // With an effective key length of 1024 bits, T8 = 128 and TM = 255: the
  // reduction touches byte 0 alone and the backward pass is empty.
  l[0] = kPiTable[l[0]];
  for (std::size_t i = 0; i < 64; ++i) KeyData[i] = load_le16(&l[2 * i]);
}

void Rc2::Burn() {
  KeyData.Wipe();
  BlockCipher64::Burn();
}

void Rc2::EncryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint16_t r0 = load_le16(in), r1 = load_le16(in + 2), r2 = load_le16(in + 4), r3 = load_le16(in + 6);
  const uint16_t* k = KeyData.data();
  std::size_t j = 0;
  auto mix = [&] {
    r0 = MixUp(r0, k[j], r3, r2, r1, 1);
    r1 = MixUp(r1, k[j + 1], r0, r3, r2, 2);
    r2 = MixUp(r2, k[j + 2], r1, r0, r3, 3);
    r3 = MixUp(r3, k[j + 3], r2, r1, r0, 5);
    j += 4;
  };
  auto mash = [&] {
    r0 = static_cast<uint16_t>(r0 + k[r3 & 63]);
    r1 = static_cast<uint16_t>(r1 + k[r0 & 63]);
    r2 = static_cast<uint16_t>(r2 + k[r1 & 63]);
    r3 = static_cast<uint16_t>(r3 + k[r2 & 63]);
  };
  for (int i = 0; i < 5; ++i) mix();
  mash();
  for (int i = 0; i < 6; ++i) mix();
  mash();
  for (int i = 0; i < 5; ++i) mix();
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  store_le16(out, r0);
  store_le16(out + 2, r1);
  store_le16(out + 4, r2);
  store_le16(out + 6, r3);
}

void Rc2::DecryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  DecryptLanes<1>(static_cast<const uint8_t*>(Indata), static_cast<uint8_t*>(Outdata));
}

// N independent blocks side by side, so that their rounds interleave; every
// block is read before any is written. The lanes are one array indexed by word
// and block, and each round is a plain loop over the blocks, which compilers
// turn into vector operations when N is large enough.
template <std::size_t N>
void Rc2::DecryptLanes(const uint8_t* in, uint8_t* out) const {
  uint16_t r[4][N];
  for (std::size_t b = 0; b < N; ++b) {
    for (std::size_t w = 0; w < 4; ++w) r[w][b] = load_le16(in + 8 * b + 2 * w);
  }
  const uint16_t* k = KeyData.data() + 64;
  for (int i = 0; i < 5; ++i) MixDownLanes(r, k -= 4);
  MashDownLanes(r, KeyData.data());
  for (int i = 0; i < 6; ++i) MixDownLanes(r, k -= 4);
  MashDownLanes(r, KeyData.data());
  for (int i = 0; i < 5; ++i) MixDownLanes(r, k -= 4);
  for (std::size_t b = 0; b < N; ++b) {
    for (std::size_t w = 0; w < 4; ++w) store_le16(out + 8 * b + 2 * w, r[w][b]);
  }
}

// Sixteen blocks fill the vector registers. A rest of four or more blocks
// also goes through the sixteen lanes, padded in a buffer, which costs less
// than as many single blocks.
void Rc2::DecryptBlocks(const uint8_t* in, uint8_t* out, std::size_t n) {
  constexpr std::size_t kLanes = 16;
  for (; n >= kLanes; n -= kLanes, in += 8 * kLanes, out += 8 * kLanes) DecryptLanes<kLanes>(in, out);
  if (n >= 4) {
    uint8_t lanes[8 * kLanes] = {};
    std::memcpy(lanes, in, 8 * n);
    DecryptLanes<kLanes>(lanes, lanes);
    std::memcpy(out, lanes, 8 * n);
    secure_wipe(lanes, sizeof(lanes));
    return;
  }
  for (; n > 0; --n, in += 8, out += 8) DecryptLanes<1>(in, out);
}

bool Rc2::SelfTest() {
  // 128-bit keys, effective key length 1024 (pycryptodome ARC2, effective_keylen=1024).
  return self_test::BlockCipherKnownAnswers<Rc2>({
      {"00000000000000000000000000000000", "0000000000000000", "1c198a838df028b7"},
      {"000102030405060708090a0b0c0d0e0f", "0011223344556677", "ccf53fa303fad8b3"},
  });
}

namespace {

// RFC 2268, section 2: PITABLE, a permutation of 0..255 from the digits of pi.
// clang-format off
const uint8_t kPiTable[256] = {
    0xd9, 0x78, 0xf9, 0xc4, 0x19, 0xdd, 0xb5, 0xed, 0x28, 0xe9, 0xfd, 0x79, 0x4a, 0xa0, 0xd8, 0x9d,
    0xc6, 0x7e, 0x37, 0x83, 0x2b, 0x76, 0x53, 0x8e, 0x62, 0x4c, 0x64, 0x88, 0x44, 0x8b, 0xfb, 0xa2,
    0x17, 0x9a, 0x59, 0xf5, 0x87, 0xb3, 0x4f, 0x13, 0x61, 0x45, 0x6d, 0x8d, 0x09, 0x81, 0x7d, 0x32,
    0xbd, 0x8f, 0x40, 0xeb, 0x86, 0xb7, 0x7b, 0x0b, 0xf0, 0x95, 0x21, 0x22, 0x5c, 0x6b, 0x4e, 0x82,
    0x54, 0xd6, 0x65, 0x93, 0xce, 0x60, 0xb2, 0x1c, 0x73, 0x56, 0xc0, 0x14, 0xa7, 0x8c, 0xf1, 0xdc,
    0x12, 0x75, 0xca, 0x1f, 0x3b, 0xbe, 0xe4, 0xd1, 0x42, 0x3d, 0xd4, 0x30, 0xa3, 0x3c, 0xb6, 0x26,
    0x6f, 0xbf, 0x0e, 0xda, 0x46, 0x69, 0x07, 0x57, 0x27, 0xf2, 0x1d, 0x9b, 0xbc, 0x94, 0x43, 0x03,
    0xf8, 0x11, 0xc7, 0xf6, 0x90, 0xef, 0x3e, 0xe7, 0x06, 0xc3, 0xd5, 0x2f, 0xc8, 0x66, 0x1e, 0xd7,
    0x08, 0xe8, 0xea, 0xde, 0x80, 0x52, 0xee, 0xf7, 0x84, 0xaa, 0x72, 0xac, 0x35, 0x4d, 0x6a, 0x2a,
    0x96, 0x1a, 0xd2, 0x71, 0x5a, 0x15, 0x49, 0x74, 0x4b, 0x9f, 0xd0, 0x5e, 0x04, 0x18, 0xa4, 0xec,
    0xc2, 0xe0, 0x41, 0x6e, 0x0f, 0x51, 0xcb, 0xcc, 0x24, 0x91, 0xaf, 0x50, 0xa1, 0xf4, 0x70, 0x39,
    0x99, 0x7c, 0x3a, 0x85, 0x23, 0xb8, 0xb4, 0x7a, 0xfc, 0x02, 0x36, 0x5b, 0x25, 0x55, 0x97, 0x31,
    0x2d, 0x5d, 0xfa, 0x98, 0xe3, 0x8a, 0x92, 0xae, 0x05, 0xdf, 0x29, 0x10, 0x67, 0x6c, 0xba, 0xc9,
    0xd3, 0x00, 0xe6, 0xcf, 0xe1, 0x9e, 0xa8, 0x2c, 0x63, 0x16, 0x01, 0x3f, 0x58, 0xe2, 0x89, 0xa9,
    0x0d, 0x38, 0x34, 0x1b, 0xab, 0x33, 0xff, 0xb0, 0xbb, 0x48, 0x0c, 0x5f, 0xb9, 0xb1, 0xcd, 0x2e,
    0xc5, 0xf3, 0xdb, 0x47, 0xe5, 0xa5, 0x9c, 0x77, 0x0a, 0xa6, 0x20, 0x68, 0xfe, 0x7f, 0xc1, 0xad,
};
// clang-format on

}  // namespace

}  // namespace velsor
