#include "crypto/ciphers/cast128.h"

#include <bit>
#include <cstring>

#include "crypto/self_test.h"

namespace velsor {

namespace {

constexpr const uint32_t* S1 = kCast128S[0].data();
constexpr const uint32_t* S2 = kCast128S[1].data();
constexpr const uint32_t* S3 = kCast128S[2].data();
constexpr const uint32_t* S4 = kCast128S[3].data();
constexpr const uint32_t* S5 = kCast128S[4].data();
constexpr const uint32_t* S6 = kCast128S[5].data();
constexpr const uint32_t* S7 = kCast128S[6].data();
constexpr const uint32_t* S8 = kCast128S[7].data();

inline uint8_t Ia(uint32_t i) { return static_cast<uint8_t>(i >> 24); }
inline uint8_t Ib(uint32_t i) { return static_cast<uint8_t>(i >> 16); }
inline uint8_t Ic(uint32_t i) { return static_cast<uint8_t>(i >> 8); }
inline uint8_t Id(uint32_t i) { return static_cast<uint8_t>(i); }

// The three round functions of RFC 2144 2.2; all arithmetic mod 2^32.
inline uint32_t F1(uint32_t d, uint32_t km, uint32_t kr) {
  const uint32_t i = std::rotl(km + d, kr);
  return ((S1[Ia(i)] ^ S2[Ib(i)]) - S3[Ic(i)]) + S4[Id(i)];
}
inline uint32_t F2(uint32_t d, uint32_t km, uint32_t kr) {
  const uint32_t i = std::rotl(km ^ d, kr);
  return ((S1[Ia(i)] - S2[Ib(i)]) + S3[Ic(i)]) ^ S4[Id(i)];
}
inline uint32_t F3(uint32_t d, uint32_t km, uint32_t kr) {
  const uint32_t i = std::rotl(km - d, kr);
  return ((S1[Ia(i)] + S2[Ib(i)]) ^ S3[Ic(i)]) - S4[Id(i)];
}

// One round on N independent blocks: dst ^= Fn(src) with subkey i.
template <uint32_t (*Fn)(uint32_t, uint32_t, uint32_t), std::size_t N>
inline void Step(uint32_t (&dst)[N], const uint32_t (&src)[N], const uint32_t* key, int i) {
  for (std::size_t j = 0; j < N; ++j) dst[j] ^= Fn(src[j], key[i], key[16 + i]);
}

// The rounds from the last to the first on N independent blocks side by side,
// so that they interleave; every block is read before any is written.
template <std::size_t N>
void DecryptLanes(const uint32_t* key, int rounds, const uint8_t* in, uint8_t* out) {
  uint32_t l[N];
  uint32_t r[N];
  for (std::size_t j = 0; j < N; ++j) {
    l[j] = load_be32(in + 8 * j);
    r[j] = load_be32(in + 8 * j + 4);
  }
  if (rounds > 12) {
    Step<F1>(l, r, key, 15);
    Step<F3>(r, l, key, 14);
    Step<F2>(l, r, key, 13);
    Step<F1>(r, l, key, 12);
  }
  Step<F3>(l, r, key, 11);
  Step<F2>(r, l, key, 10);
  Step<F1>(l, r, key, 9);
  Step<F3>(r, l, key, 8);
  Step<F2>(l, r, key, 7);
  Step<F1>(r, l, key, 6);
  Step<F3>(l, r, key, 5);
  Step<F2>(r, l, key, 4);
  Step<F1>(l, r, key, 3);
  Step<F3>(r, l, key, 2);
  Step<F2>(l, r, key, 1);
  Step<F1>(r, l, key, 0);
  for (std::size_t j = 0; j < N; ++j) {
    store_be32(out + 8 * j, r[j]);
    store_be32(out + 8 * j + 4, l[j]);
  }
}

// One half of the RFC 2144 2.4 key schedule, in the RFC's own notation: x
// and z are the sixteen bytes x0..xF and z0..zF, read and written as four
// big-endian words. Produces K1..K16 (first call) or K17..K32 (second) and
// leaves x as the next call needs it.
void SubkeyHalf(uint8_t* x, uint32_t* k) {
  uint8_t z[16];
  store_be32(z + 0x0, load_be32(x + 0x0) ^ S5[x[0xD]] ^ S6[x[0xF]] ^ S7[x[0xC]] ^ S8[x[0xE]] ^ S7[x[0x8]]);
  store_be32(z + 0x4, load_be32(x + 0x8) ^ S5[z[0x0]] ^ S6[z[0x2]] ^ S7[z[0x1]] ^ S8[z[0x3]] ^ S8[x[0xA]]);
  store_be32(z + 0x8, load_be32(x + 0xC) ^ S5[z[0x7]] ^ S6[z[0x6]] ^ S7[z[0x5]] ^ S8[z[0x4]] ^ S5[x[0x9]]);
  store_be32(z + 0xC, load_be32(x + 0x4) ^ S5[z[0xA]] ^ S6[z[0x9]] ^ S7[z[0xB]] ^ S8[z[0x8]] ^ S6[x[0xB]]);
  k[0] = S5[z[0x8]] ^ S6[z[0x9]] ^ S7[z[0x7]] ^ S8[z[0x6]] ^ S5[z[0x2]];
  k[1] = S5[z[0xA]] ^ S6[z[0xB]] ^ S7[z[0x5]] ^ S8[z[0x4]] ^ S6[z[0x6]];
  k[2] = S5[z[0xC]] ^ S6[z[0xD]] ^ S7[z[0x3]] ^ S8[z[0x2]] ^ S7[z[0x9]];
  k[3] = S5[z[0xE]] ^ S6[z[0xF]] ^ S7[z[0x1]] ^ S8[z[0x0]] ^ S8[z[0xC]];

  store_be32(x + 0x0, load_be32(z + 0x8) ^ S5[z[0x5]] ^ S6[z[0x7]] ^ S7[z[0x4]] ^ S8[z[0x6]] ^ S7[z[0x0]]);
  store_be32(x + 0x4, load_be32(z + 0x0) ^ S5[x[0x0]] ^ S6[x[0x2]] ^ S7[x[0x1]] ^ S8[x[0x3]] ^ S8[z[0x2]]);
  store_be32(x + 0x8, load_be32(z + 0x4) ^ S5[x[0x7]] ^ S6[x[0x6]] ^ S7[x[0x5]] ^ S8[x[0x4]] ^ S5[z[0x1]]);
  store_be32(x + 0xC, load_be32(z + 0xC) ^ S5[x[0xA]] ^ S6[x[0x9]] ^ S7[x[0xB]] ^ S8[x[0x8]] ^ S6[z[0x3]]);
  k[4] = S5[x[0x3]] ^ S6[x[0x2]] ^ S7[x[0xC]] ^ S8[x[0xD]] ^ S5[x[0x8]];
  k[5] = S5[x[0x1]] ^ S6[x[0x0]] ^ S7[x[0xE]] ^ S8[x[0xF]] ^ S6[x[0xD]];
  k[6] = S5[x[0x7]] ^ S6[x[0x6]] ^ S7[x[0x8]] ^ S8[x[0x9]] ^ S7[x[0x3]];
  k[7] = S5[x[0x5]] ^ S6[x[0x4]] ^ S7[x[0xA]] ^ S8[x[0xB]] ^ S8[x[0x7]];

  store_be32(z + 0x0, load_be32(x + 0x0) ^ S5[x[0xD]] ^ S6[x[0xF]] ^ S7[x[0xC]] ^ S8[x[0xE]] ^ S7[x[0x8]]);
  store_be32(z + 0x4, load_be32(x + 0x8) ^ S5[z[0x0]] ^ S6[z[0x2]] ^ S7[z[0x1]] ^ S8[z[0x3]] ^ S8[x[0xA]]);
  store_be32(z + 0x8, load_be32(x + 0xC) ^ S5[z[0x7]] ^ S6[z[0x6]] ^ S7[z[0x5]] ^ S8[z[0x4]] ^ S5[x[0x9]]);
  store_be32(z + 0xC, load_be32(x + 0x4) ^ S5[z[0xA]] ^ S6[z[0x9]] ^ S7[z[0xB]] ^ S8[z[0x8]] ^ S6[x[0xB]]);
  k[8] = S5[z[0x3]] ^ S6[z[0x2]] ^ S7[z[0xC]] ^ S8[z[0xD]] ^ S5[z[0x9]];
  k[9] = S5[z[0x1]] ^ S6[z[0x0]] ^ S7[z[0xE]] ^ S8[z[0xF]] ^ S6[z[0xC]];
  k[10] = S5[z[0x7]] ^ S6[z[0x6]] ^ S7[z[0x8]] ^ S8[z[0x9]] ^ S7[z[0x2]];
  k[11] = S5[z[0x5]] ^ S6[z[0x4]] ^ S7[z[0xA]] ^ S8[z[0xB]] ^ S8[z[0x6]];

  store_be32(x + 0x0, load_be32(z + 0x8) ^ S5[z[0x5]] ^ S6[z[0x7]] ^ S7[z[0x4]] ^ S8[z[0x6]] ^ S7[z[0x0]]);
  store_be32(x + 0x4, load_be32(z + 0x0) ^ S5[x[0x0]] ^ S6[x[0x2]] ^ S7[x[0x1]] ^ S8[x[0x3]] ^ S8[z[0x2]]);
  store_be32(x + 0x8, load_be32(z + 0x4) ^ S5[x[0x7]] ^ S6[x[0x6]] ^ S7[x[0x5]] ^ S8[x[0x4]] ^ S5[z[0x1]]);
  store_be32(x + 0xC, load_be32(z + 0xC) ^ S5[x[0xA]] ^ S6[x[0x9]] ^ S7[x[0xB]] ^ S8[x[0x8]] ^ S6[z[0x3]]);
  k[12] = S5[x[0x8]] ^ S6[x[0x9]] ^ S7[x[0x7]] ^ S8[x[0x6]] ^ S5[x[0x3]];
  k[13] = S5[x[0xA]] ^ S6[x[0xB]] ^ S7[x[0x5]] ^ S8[x[0x4]] ^ S6[x[0x7]];
  k[14] = S5[x[0xC]] ^ S6[x[0xD]] ^ S7[x[0x3]] ^ S8[x[0x2]] ^ S7[x[0x8]];
  k[15] = S5[x[0xE]] ^ S6[x[0xF]] ^ S7[x[0x1]] ^ S8[x[0x0]] ^ S8[x[0xD]];

  secure_wipe(z, sizeof(z));
}

}  // namespace

Cast128::Cast128(Component* owner) : CipherMetadata(owner) { Burn(); }

void Cast128::ScheduleKey(const void* Key, uint32_t Size) {
  const uint32_t n = Size / 8;
  fRounds = n <= 10 ? 12 : 16;

  // Shorter keys are padded with zero bytes on the right to 128 bits.
  uint8_t x[16] = {};
  std::memcpy(x, Key, n);
  SubkeyHalf(x, KeyData.data());       // K1..K16: the masking subkeys
  SubkeyHalf(x, KeyData.data() + 16);  // K17..K32: the rotation subkeys
  for (std::size_t i = 16; i < 32; ++i) KeyData[i] &= 31;
  secure_wipe(x, sizeof(x));
}

// Round i uses Km = KeyData[i - 1] and Kr = KeyData[i + 15]; the round types
// cycle 1, 2, 3 from round 1 on.
void Cast128::EncryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint32_t l = load_be32(in);
  uint32_t r = load_be32(in + 4);
  const uint32_t* km = KeyData.data();
  const uint32_t* kr = KeyData.data() + 16;

  l ^= F1(r, km[0], kr[0]);
  r ^= F2(l, km[1], kr[1]);
  l ^= F3(r, km[2], kr[2]);
  r ^= F1(l, km[3], kr[3]);
  l ^= F2(r, km[4], kr[4]);
  r ^= F3(l, km[5], kr[5]);
  l ^= F1(r, km[6], kr[6]);
  r ^= F2(l, km[7], kr[7]);
  l ^= F3(r, km[8], kr[8]);
  r ^= F1(l, km[9], kr[9]);
  l ^= F2(r, km[10], kr[10]);
  r ^= F3(l, km[11], kr[11]);
  if (fRounds > 12) {
    l ^= F1(r, km[12], kr[12]);
    r ^= F2(l, km[13], kr[13]);
    l ^= F3(r, km[14], kr[14]);
    r ^= F1(l, km[15], kr[15]);
  }

  // The halves swap back after the last round: R first.
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  store_be32(out, r);
  store_be32(out + 4, l);
}

void Cast128::DecryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  DecryptLanes<1>(KeyData.data(), fRounds, static_cast<const uint8_t*>(Indata), static_cast<uint8_t*>(Outdata));
}

// Eight blocks keep the processor's arithmetic units busiest; a rest of three
// or more goes three at a time.
void Cast128::DecryptBlocks(const uint8_t* in, uint8_t* out, std::size_t n) {
  for (; n >= 8; n -= 8, in += 8 * 8, out += 8 * 8) DecryptLanes<8>(KeyData.data(), fRounds, in, out);
  for (; n >= 3; n -= 3, in += 8 * 3, out += 8 * 3) DecryptLanes<3>(KeyData.data(), fRounds, in, out);
  for (; n > 0; --n, in += 8, out += 8) DecryptLanes<1>(KeyData.data(), fRounds, in, out);
}

void Cast128::Burn() {
  KeyData.Wipe(0xFF);
  fRounds = 0;
  BlockCipher64::Burn();
}

bool Cast128::SelfTest() {
  // RFC 2144 Appendix B.1: one plaintext, the 128-bit key and its first 10 and 5 bytes.
  return self_test::BlockCipherKnownAnswers<Cast128>({
      {"0123456712345678234567893456789a", "0123456789abcdef", "238b4fe5847e44b2"},
      {"01234567123456782345", "0123456789abcdef", "eb6a711a2c02271b"},
      {"0123456712", "0123456789abcdef", "7ac816d16e9b302e"},
  });
}

}  // namespace velsor
