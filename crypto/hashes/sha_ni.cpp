#include "crypto/hashes/sha_ni.h"

#ifdef VELSOR_X86_EXTENSIONS

#include <immintrin.h>

// Only these functions use the SHA extensions; the rest of the build stays
// baseline x86-64.
#define VELSOR_SHANI __attribute__((target("sha,sse4.1,ssse3")))

namespace velsor::shani {

namespace {

VELSOR_SHANI inline __m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }

// SHA-1 keeps four message words per register, W[t] in the highest lane, and
// A..D in one register with A in the highest lane; E rides in the highest lane
// of a second one. Group G is steps 4G..4G+3 with the round function G / 5.
struct Sha1State {
  __m128i abcd;
  __m128i previous;  // abcd before the last group, from which the next E follows
  __m128i w[4];      // the message words of groups G..G+3, in rotation
};

template <int G>
VELSOR_SHANI inline void Sha1Group(Sha1State& s) {
  const __m128i e_plus_w = _mm_sha1nexte_epu32(s.previous, s.w[G & 3]);
  s.previous = s.abcd;
  s.abcd = _mm_sha1rnds4_epu32(s.abcd, e_plus_w, G / 5);
  if constexpr (G < 16) {
    // W[t] = (W[t-3] ^ W[t-8] ^ W[t-14] ^ W[t-16]) <<< 1, four at a time.
    const __m128i x = _mm_xor_si128(_mm_sha1msg1_epu32(s.w[G & 3], s.w[(G + 1) & 3]), s.w[(G + 2) & 3]);
    s.w[G & 3] = _mm_sha1msg2_epu32(x, s.w[(G + 3) & 3]);
  }
  if constexpr (G < 19) Sha1Group<G + 1>(s);
}

// SHA-256 keeps four message words per register, W[t] in the lowest lane, and
// the state as ABEF and CDGH, the order the round instruction expects.
struct Sha256State {
  __m128i abef;
  __m128i cdgh;
  __m128i w[4];
};

template <int G>
VELSOR_SHANI inline void Sha256Group(Sha256State& s, const uint32_t* k) {
  const __m128i kw = _mm_add_epi32(s.w[G & 3], Load(k + 4 * G));
  s.cdgh = _mm_sha256rnds2_epu32(s.cdgh, s.abef, kw);
  s.abef = _mm_sha256rnds2_epu32(s.abef, s.cdgh, _mm_shuffle_epi32(kw, 0x0E));
  if constexpr (G < 12) {
    // W[t] = sigma1(W[t-2]) + W[t-7] + sigma0(W[t-15]) + W[t-16], four at a time.
    const __m128i w_minus_7 = _mm_alignr_epi8(s.w[(G + 3) & 3], s.w[(G + 2) & 3], 4);
    const __m128i x = _mm_add_epi32(_mm_sha256msg1_epu32(s.w[G & 3], s.w[(G + 1) & 3]), w_minus_7);
    s.w[G & 3] = _mm_sha256msg2_epu32(x, s.w[(G + 3) & 3]);
  }
  if constexpr (G < 15) Sha256Group<G + 1>(s, k);
}

}  // namespace

// The state stays in registers from one block to the next.
VELSOR_SHANI void Sha1Compress(uint32_t* state, const uint8_t* blocks, std::size_t count) {
  // Big-endian words, W[0] in the highest lane: all sixteen bytes reversed.
  const __m128i reverse = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
  __m128i abcd = _mm_shuffle_epi32(Load(state), 0x1B);
  __m128i e = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
  for (std::size_t b = 0; b < count; ++b) {
    const uint8_t* block = blocks + 64 * b;
    Sha1State s;
    for (int i = 0; i < 4; ++i) s.w[i] = _mm_shuffle_epi8(Load(block + 16 * i), reverse);
    // The first group adds E itself; every later one derives it from A four steps back.
    s.previous = abcd;
    s.abcd = _mm_sha1rnds4_epu32(abcd, _mm_add_epi32(e, s.w[0]), 0);
    const __m128i x = _mm_xor_si128(_mm_sha1msg1_epu32(s.w[0], s.w[1]), s.w[2]);
    s.w[0] = _mm_sha1msg2_epu32(x, s.w[3]);
    Sha1Group<1>(s);
    e = _mm_sha1nexte_epu32(s.previous, e);
    abcd = _mm_add_epi32(s.abcd, abcd);
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1B));
  state[4] = static_cast<uint32_t>(_mm_extract_epi32(e, 3));
}

VELSOR_SHANI void Sha256Compress(uint32_t* state, const uint8_t* blocks, std::size_t count, const uint32_t* k) {
  // Big-endian words, W[0] in the lowest lane: the bytes of each word reversed.
  const __m128i swap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
  const __m128i abcd = _mm_shuffle_epi32(Load(state), 0xB1);      // CDAB
  const __m128i efgh = _mm_shuffle_epi32(Load(state + 4), 0x1B);  // EFGH
  __m128i abef = _mm_alignr_epi8(abcd, efgh, 8);
  __m128i cdgh = _mm_blend_epi16(efgh, abcd, 0xF0);
  for (std::size_t b = 0; b < count; ++b) {
    const uint8_t* block = blocks + 64 * b;
    Sha256State s{abef, cdgh, {}};
    for (int i = 0; i < 4; ++i) s.w[i] = _mm_shuffle_epi8(Load(block + 16 * i), swap);
    Sha256Group<0>(s, k);
    abef = _mm_add_epi32(s.abef, abef);
    cdgh = _mm_add_epi32(s.cdgh, cdgh);
  }
  const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
  const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

}  // namespace velsor::shani

#endif
