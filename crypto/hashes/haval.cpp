#include "crypto/hashes/haval.h"

#include <bit>

#include "crypto/hashes/haval_core.h"
#include "crypto/self_test.h"

namespace velsor {

namespace haval_core {

namespace {

// The Boolean functions F1 to F5 in the designers' reference forms.
inline uint32_t F1(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3, uint32_t x2, uint32_t x1, uint32_t x0) {
  return (x1 & (x0 ^ x4)) ^ (x2 & x5) ^ (x3 & x6) ^ x0;
}
inline uint32_t F2(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3, uint32_t x2, uint32_t x1, uint32_t x0) {
  return (x2 & ((x1 & ~x3) ^ (x4 & x5) ^ x6 ^ x0)) ^ (x4 & (x1 ^ x5)) ^ (x3 & x5) ^ x0;
}
inline uint32_t F3(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3, uint32_t x2, uint32_t x1, uint32_t x0) {
  return (x3 & ((x1 & x2) ^ x6 ^ x0)) ^ (x1 & x4) ^ (x2 & x5) ^ x0;
}
inline uint32_t F4(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3, uint32_t x2, uint32_t x1, uint32_t x0) {
  return (x4 & ((x5 & ~x2) ^ (x3 & ~x6) ^ x1 ^ x6 ^ x0)) ^ (x3 & ((x1 & x2) ^ x5 ^ x6)) ^ (x2 & x6) ^ x0;
}
inline uint32_t F5(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3, uint32_t x2, uint32_t x1, uint32_t x0) {
  return (x0 & ((x1 & x2 & x3) ^ ~x5)) ^ (x1 & x4) ^ (x2 & x5) ^ (x3 & x6);
}

// Each pass applies its function to the working words permuted by the
// 5-pass input permutation phi(5, n).
inline uint32_t Phi1(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3, uint32_t x2, uint32_t x1, uint32_t x0) {
  return F1(x3, x4, x1, x0, x5, x2, x6);
}
inline uint32_t Phi2(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3, uint32_t x2, uint32_t x1, uint32_t x0) {
  return F2(x6, x2, x1, x0, x3, x4, x5);
}
inline uint32_t Phi3(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3, uint32_t x2, uint32_t x1, uint32_t x0) {
  return F3(x2, x6, x0, x4, x3, x1, x5);
}
inline uint32_t Phi4(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3, uint32_t x2, uint32_t x1, uint32_t x0) {
  return F4(x1, x5, x3, x2, x0, x4, x6);
}
inline uint32_t Phi5(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3, uint32_t x2, uint32_t x1, uint32_t x0) {
  return F5(x2, x5, x0, x6, x4, x3, x1);
}

using PassFunction = uint32_t (*)(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t);

template <PassFunction Phi>
inline void Step(uint32_t& x7, uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3, uint32_t x2, uint32_t x1,
                 uint32_t x0, uint32_t w) {
  x7 = std::rotr(Phi(x6, x5, x4, x3, x2, x1, x0), 7) + std::rotr(x7, 11) + w;
}

// 32 steps; step i replaces word 7 - i mod 8 and adds message word
// order[i] and, from the second pass on, the constant k[i].
template <PassFunction Phi>
inline void Pass(uint32_t* t, const uint32_t* w, const uint8_t* order, const uint32_t* k) {
  uint32_t in[32];
  for (int i = 0; i < 32; ++i) in[i] = w[order[i]] + (k != nullptr ? k[i] : 0);
  for (int i = 0; i < 32; i += 8) {
    Step<Phi>(t[7], t[6], t[5], t[4], t[3], t[2], t[1], t[0], in[i]);
    Step<Phi>(t[6], t[5], t[4], t[3], t[2], t[1], t[0], t[7], in[i + 1]);
    Step<Phi>(t[5], t[4], t[3], t[2], t[1], t[0], t[7], t[6], in[i + 2]);
    Step<Phi>(t[4], t[3], t[2], t[1], t[0], t[7], t[6], t[5], in[i + 3]);
    Step<Phi>(t[3], t[2], t[1], t[0], t[7], t[6], t[5], t[4], in[i + 4]);
    Step<Phi>(t[2], t[1], t[0], t[7], t[6], t[5], t[4], t[3], in[i + 5]);
    Step<Phi>(t[1], t[0], t[7], t[6], t[5], t[4], t[3], t[2], in[i + 6]);
    Step<Phi>(t[0], t[7], t[6], t[5], t[4], t[3], t[2], t[1], in[i + 7]);
  }
  secure_wipe(in, sizeof in);
}

extern const uint8_t kIdentityOrder[32];
extern const uint8_t kWordOrder[4][32];
extern const uint32_t kPi[128];

}  // namespace

// The first 256 bits of the fractional part of pi.
void LoadInitialValues(uint32_t* h) {
  static constexpr uint32_t kInitial[8] = {0x243f6a88, 0x85a308d3, 0x13198a2e, 0x03707344,
                                           0xa4093822, 0x299f31d0, 0x082efa98, 0xec4e6c89};
  for (int i = 0; i < 8; ++i) h[i] = kInitial[i];
}

void Compress(uint32_t* h, const uint8_t* block) {
  uint32_t w[32];
  for (int i = 0; i < 32; ++i) w[i] = load_le32(block + 4 * i);
  uint32_t t[8];
  for (int i = 0; i < 8; ++i) t[i] = h[i];

  Pass<Phi1>(t, w, kIdentityOrder, nullptr);
  Pass<Phi2>(t, w, kWordOrder[0], kPi);
  Pass<Phi3>(t, w, kWordOrder[1], kPi + 32);
  Pass<Phi4>(t, w, kWordOrder[2], kPi + 64);
  Pass<Phi5>(t, w, kWordOrder[3], kPi + 96);

  for (int i = 0; i < 8; ++i) h[i] += t[i];
  secure_wipe(w, sizeof w);
  secure_wipe(t, sizeof t);
}

void Finish(HashBlockBuffer<kBlockBytes>& message, uint32_t* h, uint8_t marker, uint8_t* digest) {
  message.Pad(marker, kTailBytes, [h](const uint8_t* block) { Compress(h, block); });
  uint8_t* tail = message.Block() + kBlockBytes - kTailBytes;
  // Version 1 in bits 0-2, 5 passes in bits 3-5, the fingerprint length 256
  // in the two top bits and the next byte.
  constexpr uint32_t kVersion = 1, kPasses = 5, kFingerprintBits = 256;
  tail[0] = static_cast<uint8_t>(((kFingerprintBits & 3) << 6) | (kPasses << 3) | kVersion);
  tail[1] = static_cast<uint8_t>(kFingerprintBits >> 2);
  store_le64(tail + 2, message.LenLo);
  Compress(h, message.Block());
  for (int i = 0; i < 8; ++i) store_le32(digest + 4 * i, h[i]);
}

void Digest(const void* data, uint32_t size, uint8_t marker, uint8_t* digest) {
  HashBlockBuffer<kBlockBytes> message;
  SecretArray<uint32_t, 8> h;
  LoadInitialValues(h.data());
  message.Absorb(data, size, [&h](const uint8_t* block) { Compress(h.data(), block); });
  Finish(message, h.data(), marker, digest);
}

}  // namespace haval_core

// The one departure from the HAVAL reference, which pads with 0x01.
constexpr uint8_t kPaddingByte = 0x80;

void Haval::LoadInitialValues() { haval_core::LoadInitialValues(CurrentHash.data()); }

void Haval::CompressBlock(const uint8_t* block) { haval_core::Compress(CurrentHash.data(), block); }

void Haval::Finish(uint8_t* digest) { haval_core::Finish(fMessage, CurrentHash.data(), kPaddingByte, digest); }

bool Haval::SelfTest() {
  // The values of this 0x80-padded variant; no outside implementation has them.
  return self_test::HashKnownAnswers<Haval>({
      {"abcdefghijklmnopqrstuvwxyz", "1a1dc8099bdaa7f35b4da4e805f1a28fee909d8dee920198185cbcaed8a10a8d"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "c5647fc6c1877fff96742f27e9266b6874894f41a08f5913033d9d532aeddb39"},
  });
}

namespace haval_core {
namespace {

const uint8_t kIdentityOrder[32] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                    16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31};

// The message word order of passes 2 to 5 (pass 1 takes the words in order).
const uint8_t kWordOrder[4][32] = {
    {5,  14, 26, 18, 11, 28, 7,  16, 0,  23, 20, 22, 1, 10, 4,  8,
     30, 3,  21, 9,  17, 24, 29, 6,  19, 12, 15, 13, 2, 25, 31, 27},
    {19, 9,  4, 20, 28, 17, 8,  22, 29, 14, 25, 12, 24, 30, 16, 26,
     31, 15, 7, 3,  1,  0,  18, 27, 13, 6,  21, 10, 23, 11, 5,  2},
    {24, 4,  0,  14, 2, 7,  28, 23, 26, 6,  30, 20, 18, 25, 19, 3,
     22, 11, 31, 21, 8, 27, 12, 9,  1,  29, 5,  15, 17, 10, 16, 13},
    {27, 3, 21, 26, 17, 11, 20, 29, 19, 0,  12, 7,  13, 8, 31, 10,
     5,  9, 14, 30, 18, 6,  28, 24, 2,  23, 16, 22, 4,  1, 25, 15},
};

// The 128 additive constants of passes 2 to 5: the fractional part of pi
// after the 256 bits of the initial words, 32 per pass.
const uint32_t kPi[128] = {
    0x452821e6, 0x38d01377, 0xbe5466cf, 0x34e90c6c, 0xc0ac29b7, 0xc97c50dd, 0x3f84d5b5, 0xb5470917,
    0x9216d5d9, 0x8979fb1b, 0xd1310ba6, 0x98dfb5ac, 0x2ffd72db, 0xd01adfb7, 0xb8e1afed, 0x6a267e96,
    0xba7c9045, 0xf12c7f99, 0x24a19947, 0xb3916cf7, 0x0801f2e2, 0x858efc16, 0x636920d8, 0x71574e69,
    0xa458fea3, 0xf4933d7e, 0x0d95748f, 0x728eb658, 0x718bcd58, 0x82154aee, 0x7b54a41d, 0xc25a59b5,  //
    0x9c30d539, 0x2af26013, 0xc5d1b023, 0x286085f0, 0xca417918, 0xb8db38ef, 0x8e79dcb0, 0x603a180e,
    0x6c9e0e8b, 0xb01e8a3e, 0xd71577c1, 0xbd314b27, 0x78af2fda, 0x55605c60, 0xe65525f3, 0xaa55ab94,
    0x57489862, 0x63e81440, 0x55ca396a, 0x2aab10b6, 0xb4cc5c34, 0x1141e8ce, 0xa15486af, 0x7c72e993,
    0xb3ee1411, 0x636fbc2a, 0x2ba9c55d, 0x741831f6, 0xce5c3e16, 0x9b87931e, 0xafd6ba33, 0x6c24cf5c,  //
    0x7a325381, 0x28958677, 0x3b8f4898, 0x6b4bb9af, 0xc4bfe81b, 0x66282193, 0x61d809cc, 0xfb21a991,
    0x487cac60, 0x5dec8032, 0xef845d5d, 0xe98575b1, 0xdc262302, 0xeb651b88, 0x23893e81, 0xd396acc5,
    0x0f6d6ff3, 0x83f44239, 0x2e0b4482, 0xa4842004, 0x69c8f04a, 0x9e1f9b5e, 0x21c66842, 0xf6e96c9a,
    0x670c9c61, 0xabd388f0, 0x6a51a0d2, 0xd8542f68, 0x960fa728, 0xab5133a3, 0x6eef0b6c, 0x137a3be4,  //
    0xba3bf050, 0x7efb2a98, 0xa1f1651d, 0x39af0176, 0x66ca593e, 0x82430e88, 0x8cee8619, 0x456f9fb4,
    0x7d84a5c3, 0x3b8b5ebe, 0xe06f75d8, 0x85c12073, 0x401a449f, 0x56c16aa6, 0x4ed3aa62, 0x363f7706,
    0x1bfedf72, 0x429b023d, 0x37d0d724, 0xd00a1248, 0xdb0fead3, 0x49f1c09b, 0x075372c9, 0x80991b7b,
    0x25d479d8, 0xf6e8def7, 0xe3fe501a, 0xb6794c3b, 0x976ce0bd, 0x04c006ba, 0xc1a94fb6, 0x409f60c4,
};

}  // namespace
}  // namespace haval_core

}  // namespace velsor
