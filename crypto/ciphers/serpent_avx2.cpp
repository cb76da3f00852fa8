#include "crypto/ciphers/serpent_avx2.h"

#ifdef VELSOR_X86_EXTENSIONS

#include <immintrin.h>

#include "crypto/ciphers/serpent_rounds.h"

// Only these functions use AVX2; the rest of the build stays baseline x86-64
// and runs on any processor. The rounds are always inlined, so they take this
// instruction set inside these functions.
#define VELSOR_AVX2 __attribute__((target("avx2")))

namespace velsor::serpent_avx2 {

namespace {

// Eight 32-bit lanes, one block each.
using Lanes8 = uint32_t __attribute__((vector_size(32)));

// Sixteen lanes: two vectors per word, two independent halves that the
// processor runs side by side while one waits on a dependency. The operators
// are the lane-wise ones the rounds use, applied to both halves. (A 64-byte
// vector type would do the same on paper, but without AVX-512 GCC splits it
// through memory.)
struct Lanes16 {
  Lanes8 low, high;
};
VELSOR_ALWAYS_INLINE Lanes16 operator~(const Lanes16& x) { return {~x.low, ~x.high}; }
VELSOR_ALWAYS_INLINE Lanes16 operator^(const Lanes16& x, const Lanes16& y) { return {x.low ^ y.low, x.high ^ y.high}; }
VELSOR_ALWAYS_INLINE Lanes16 operator|(const Lanes16& x, const Lanes16& y) { return {x.low | y.low, x.high | y.high}; }
VELSOR_ALWAYS_INLINE Lanes16 operator<<(const Lanes16& x, int n) { return {x.low << n, x.high << n}; }
VELSOR_ALWAYS_INLINE Lanes16 operator>>(const Lanes16& x, int n) { return {x.low >> n, x.high >> n}; }
VELSOR_ALWAYS_INLINE Lanes16& operator^=(Lanes16& x, const Lanes16& y) {
  x.low ^= y.low;
  x.high ^= y.high;
  return x;
}
VELSOR_ALWAYS_INLINE Lanes16& operator&=(Lanes16& x, const Lanes16& y) {
  x.low &= y.low;
  x.high &= y.high;
  return x;
}
VELSOR_ALWAYS_INLINE Lanes16& operator|=(Lanes16& x, const Lanes16& y) {
  x.low |= y.low;
  x.high |= y.high;
  return x;
}
VELSOR_ALWAYS_INLINE Lanes16& operator^=(Lanes16& x, uint32_t k) {
  x.low ^= k;
  x.high ^= k;
  return x;
}

VELSOR_AVX2 inline __m128i Load128(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
// Two 128-bit loads joined: for an unaligned 256-bit load, GCC's generic
// tuning copies the halves through the stack and reads them back whole, which
// defeats store forwarding (about a tenth of the time here).
VELSOR_AVX2 inline __m256i Load(const uint8_t* p) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(Load128(p)), Load128(p + 16), 1);
}
VELSOR_AVX2 inline void Store(uint8_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
VELSOR_AVX2 inline void Store128(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// A 4x4 transpose of 32-bit words within each 128-bit half. Four vectors of
// two blocks each become the four words of the state: word i of blocks 0, 2,
// 4, 6 in the low half of vector i and of blocks 1, 3, 5, 7 in the high half.
// Every lane goes through the same rounds, so the order of the blocks in the
// lanes does not matter as long as the same transpose (its own inverse) puts
// them back.
VELSOR_AVX2 inline void Transpose(__m256i* v) {
  const __m256i t0 = _mm256_unpacklo_epi32(v[0], v[1]);
  const __m256i t1 = _mm256_unpackhi_epi32(v[0], v[1]);
  const __m256i t2 = _mm256_unpacklo_epi32(v[2], v[3]);
  const __m256i t3 = _mm256_unpackhi_epi32(v[2], v[3]);
  v[0] = _mm256_unpacklo_epi64(t0, t2);
  v[1] = _mm256_unpackhi_epi64(t0, t2);
  v[2] = _mm256_unpacklo_epi64(t1, t3);
  v[3] = _mm256_unpackhi_epi64(t1, t3);
}

VELSOR_AVX2 inline void LoadWords(const uint8_t* in, __m256i* v) {
  for (int k = 0; k < 4; ++k) v[k] = Load(in + 32 * k);
  Transpose(v);
}

// Transposes the decrypted words back into blocks (vector k holding blocks
// 2k and 2k + 1), XORs each block with the ciphertext block before it (before
// the first: previous) and stores them. Every read of in comes before the
// first write of out, so in and out may be the same memory.
VELSOR_AVX2 inline void FinishCbc(__m256i* v, const uint8_t* in, __m128i previous, uint8_t* out) {
  Transpose(v);
  __m256i before[4];
  before[0] = _mm256_inserti128_si256(_mm256_castsi128_si256(previous), Load128(in), 1);
  for (int k = 1; k < 4; ++k) before[k] = Load(in + 32 * k - 16);
  for (int k = 0; k < 4; ++k) Store(out + 32 * k, _mm256_xor_si256(v[k], before[k]));
}

// CBC over sixteen blocks from the chaining value chain, which receives the
// last ciphertext block.
VELSOR_AVX2 void DecryptCbcSixteen(const uint32_t* keys, const uint8_t* in, uint8_t* out, __m128i& chain) {
  __m256i low[4];
  __m256i high[4];
  LoadWords(in, low);
  LoadWords(in + 128, high);
  Lanes16 x[4];
  for (int i = 0; i < 4; ++i) x[i] = {Lanes8(low[i]), Lanes8(high[i])};
  serpent_rounds::DecryptWords(x, keys);
  for (int i = 0; i < 4; ++i) {
    low[i] = __m256i(x[i].low);
    high[i] = __m256i(x[i].high);
  }
  // Blocks 7 and 15 are read before the first half overwrites them in place.
  const __m128i middle = Load128(in + 16 * 7);
  const __m128i last = Load128(in + 16 * 15);
  FinishCbc(low, in, chain, out);
  FinishCbc(high, in + 128, middle, out + 128);
  chain = last;
}

VELSOR_AVX2 void DecryptCbcEight(const uint32_t* keys, const uint8_t* in, uint8_t* out, __m128i& chain) {
  __m256i v[4];
  LoadWords(in, v);
  Lanes8 x[4];
  for (int i = 0; i < 4; ++i) x[i] = Lanes8(v[i]);
  serpent_rounds::DecryptWords(x, keys);
  for (int i = 0; i < 4; ++i) v[i] = __m256i(x[i]);
  const __m128i last = Load128(in + 16 * 7);
  FinishCbc(v, in, chain, out);
  chain = last;
}

}  // namespace

VELSOR_AVX2 std::size_t DecryptCbc(const uint32_t* keys, const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) {
  __m128i chain = Load128(cv);
  std::size_t done = 0;
  for (; n - done >= 16; done += 16) DecryptCbcSixteen(keys, in + 16 * done, out + 16 * done, chain);
  if (n - done >= 8) {
    DecryptCbcEight(keys, in + 16 * done, out + 16 * done, chain);
    done += 8;
  }
  Store128(cv, chain);
  return done;
}

}  // namespace velsor::serpent_avx2

#endif  // VELSOR_X86_EXTENSIONS
