#include "crypto/hashes/sha512_avx2.h"

#ifdef VELSOR_X86_EXTENSIONS

#include <immintrin.h>

#include "crypto/hashes/sha512_rounds.h"

// Only these functions use BMI2 and AVX2; the rest of the build stays
// baseline x86-64.
#define VELSOR_AVX2_BMI2 __attribute__((target("avx2,bmi,bmi2")))

namespace velsor::sha512avx2 {

namespace {

VELSOR_AVX2_BMI2 inline __m256i Load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }

template <int N>
VELSOR_AVX2_BMI2 inline __m256i Rotr(__m256i x) {
  return _mm256_or_si256(_mm256_srli_epi64(x, N), _mm256_slli_epi64(x, 64 - N));
}

// sigma0 and sigma1 of FIPS 180-2, 4.1.3, on four words; AVX2 has no 64-bit
// rotate, so each rotate is two shifts, except that a rotate by 8 is a byte
// shuffle.
VELSOR_AVX2_BMI2 inline __m256i Sigma0(__m256i x) {
  const __m256i rotate8 =
      _mm256_set_epi64x(0x080f0e0d0c0b0a09LL, 0x0007060504030201LL, 0x080f0e0d0c0b0a09LL, 0x0007060504030201LL);
  return _mm256_xor_si256(_mm256_xor_si256(Rotr<1>(x), _mm256_shuffle_epi8(x, rotate8)), _mm256_srli_epi64(x, 7));
}

VELSOR_AVX2_BMI2 inline __m256i Sigma1(__m256i x) {
  return _mm256_xor_si256(_mm256_xor_si256(Rotr<19>(x), Rotr<61>(x)), _mm256_srli_epi64(x, 6));
}

// W[t..t+3] from W[t-16..t-1], held in four vectors of four words each with
// the lowest word in the lowest lane.
VELSOR_AVX2_BMI2 inline __m256i NextWords(__m256i w16, __m256i w12, __m256i w8, __m256i w4) {
  // W[t-15..t-12] and W[t-7..t-4]: each window straddles two vectors.
  const __m256i w15 = _mm256_alignr_epi8(_mm256_permute2x128_si256(w16, w12, 0x21), w16, 8);
  const __m256i w7 = _mm256_alignr_epi8(_mm256_permute2x128_si256(w8, w4, 0x21), w8, 8);
  __m256i w = _mm256_add_epi64(_mm256_add_epi64(w16, w7), Sigma0(w15));
  // sigma1 reaches back two words: W[t] and W[t+1] use W[t-2] and W[t-1]
  // (the top half of w4), W[t+2] and W[t+3] use the W[t] and W[t+1] just made.
  w = _mm256_add_epi64(w, Sigma1(_mm256_permute2x128_si256(w4, w4, 0x81)));
  return _mm256_add_epi64(w, Sigma1(_mm256_permute2x128_si256(w, w, 0x08)));
}

struct Working {
  uint64_t a, b, c, d, e, f, g, h;
  uint64_t b_xor_c;
  __m256i w[4];  // W[4G..4G+15] for group G, in rotation
};

// Group G is steps 4G..4G+3; beside them, while the schedule lasts, it makes
// W[4G+16..4G+19] and stores them with their round constants added.
template <int G>
[[gnu::always_inline]] VELSOR_AVX2_BMI2 inline void Group(Working& s, const uint64_t* k, uint64_t* kw) {
  if constexpr (G < 16) {
    const __m256i next = NextWords(s.w[G & 3], s.w[(G + 1) & 3], s.w[(G + 2) & 3], s.w[(G + 3) & 3]);
    s.w[G & 3] = next;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(kw + 4 * G + 16), _mm256_add_epi64(next, Load(k + 4 * G + 16)));
  }
  if constexpr ((G & 1) == 0) {
    sha512::FourSteps(s.a, s.b, s.c, s.d, s.e, s.f, s.g, s.h, s.b_xor_c, kw + 4 * G);
  } else {
    sha512::FourSteps(s.e, s.f, s.g, s.h, s.a, s.b, s.c, s.d, s.b_xor_c, kw + 4 * G);
  }
  if constexpr (G < 19) Group<G + 1>(s, k, kw);
}

}  // namespace

VELSOR_AVX2_BMI2 void Compress(uint64_t* state, const uint8_t* blocks, std::size_t count, const uint64_t* k,
                               uint64_t* kw) {
  // Big-endian words: the bytes of each 64-bit lane reversed.
  const __m256i swap =
      _mm256_set_epi64x(0x08090a0b0c0d0e0fLL, 0x0001020304050607LL, 0x08090a0b0c0d0e0fLL, 0x0001020304050607LL);
  for (std::size_t i = 0; i < count; ++i) {
    const uint8_t* block = blocks + 128 * i;
    Working s{state[0], state[1], state[2], state[3], state[4], state[5], state[6], state[7], state[1] ^ state[2], {}};
    for (int j = 0; j < 4; ++j) {
      s.w[j] = _mm256_shuffle_epi8(Load(block + 32 * j), swap);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(kw + 4 * j), _mm256_add_epi64(s.w[j], Load(k + 4 * j)));
    }
    Group<0>(s, k, kw);
    state[0] += s.a;
    state[1] += s.b;
    state[2] += s.c;
    state[3] += s.d;
    state[4] += s.e;
    state[5] += s.f;
    state[6] += s.g;
    state[7] += s.h;
  }
}

}  // namespace velsor::sha512avx2

#endif
