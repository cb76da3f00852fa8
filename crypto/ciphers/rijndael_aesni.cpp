#include "crypto/ciphers/rijndael_aesni.h"

#ifdef VELSOR_X86_EXTENSIONS

#include <immintrin.h>

// Only these functions use the AES instructions; the rest of the build stays
// baseline x86-64 and runs on any processor.
#define VELSOR_AESNI __attribute__((target("aes,sse4.1")))
#define VELSOR_VAES __attribute__((target("vaes,avx2,aes,sse4.1")))

namespace velsor::aesni {

namespace {

VELSOR_AESNI inline __m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
VELSOR_AESNI inline void Store(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
VELSOR_AESNI inline __m128i Row(const uint32_t* keys, int r) { return Load(keys + kRowWords * r); }

// The number of rounds is a template argument so that the rounds unroll and
// the round keys stay in registers across the blocks of a call.
template <int Rounds>
VELSOR_AESNI inline __m128i Encrypt(const uint32_t* rk, __m128i b) {
  b = _mm_xor_si128(b, Row(rk, 0));
  for (int r = 1; r < Rounds; ++r) b = _mm_aesenc_si128(b, Row(rk, r));
  return _mm_aesenclast_si128(b, Row(rk, Rounds));
}

// The equivalent inverse cipher: rows from the last down to the first.
template <int Rounds>
VELSOR_AESNI inline __m128i Decrypt(const uint32_t* drk, __m128i b) {
  b = _mm_xor_si128(b, Row(drk, Rounds));
  for (int r = Rounds - 1; r > 0; --r) b = _mm_aesdec_si128(b, Row(drk, r));
  return _mm_aesdeclast_si128(b, Row(drk, 0));
}

// Eight independent blocks through one decryption round.
struct Eight {
  __m128i b0, b1, b2, b3, b4, b5, b6, b7;
};

VELSOR_AESNI inline void XorAll(Eight& e, __m128i k) {
  e.b0 = _mm_xor_si128(e.b0, k);
  e.b1 = _mm_xor_si128(e.b1, k);
  e.b2 = _mm_xor_si128(e.b2, k);
  e.b3 = _mm_xor_si128(e.b3, k);
  e.b4 = _mm_xor_si128(e.b4, k);
  e.b5 = _mm_xor_si128(e.b5, k);
  e.b6 = _mm_xor_si128(e.b6, k);
  e.b7 = _mm_xor_si128(e.b7, k);
}

VELSOR_AESNI inline void DecAll(Eight& e, __m128i k) {
  e.b0 = _mm_aesdec_si128(e.b0, k);
  e.b1 = _mm_aesdec_si128(e.b1, k);
  e.b2 = _mm_aesdec_si128(e.b2, k);
  e.b3 = _mm_aesdec_si128(e.b3, k);
  e.b4 = _mm_aesdec_si128(e.b4, k);
  e.b5 = _mm_aesdec_si128(e.b5, k);
  e.b6 = _mm_aesdec_si128(e.b6, k);
  e.b7 = _mm_aesdec_si128(e.b7, k);
}

VELSOR_AESNI inline void DecLastAll(Eight& e, __m128i k) {
  e.b0 = _mm_aesdeclast_si128(e.b0, k);
  e.b1 = _mm_aesdeclast_si128(e.b1, k);
  e.b2 = _mm_aesdeclast_si128(e.b2, k);
  e.b3 = _mm_aesdeclast_si128(e.b3, k);
  e.b4 = _mm_aesdeclast_si128(e.b4, k);
  e.b5 = _mm_aesdeclast_si128(e.b5, k);
  e.b6 = _mm_aesdeclast_si128(e.b6, k);
  e.b7 = _mm_aesdeclast_si128(e.b7, k);
}

template <int Rounds>
VELSOR_AESNI void EncryptCbcRounds(const uint32_t* rk, const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) {
  __m128i chain = Load(cv);
  for (std::size_t i = 0; i < n; ++i) {
    chain = Encrypt<Rounds>(rk, _mm_xor_si128(Load(in + 16 * i), chain));
    Store(out + 16 * i, chain);
  }
  Store(cv, chain);
}

// All eight blocks are loaded before any output is stored, and the ciphertext
// that the next block needs stays in a register, so in-place decryption works.
template <int Rounds>
VELSOR_AESNI void DecryptCbcRounds(const uint32_t* drk, const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) {
  __m128i chain = Load(cv);
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const uint8_t* c = in + 16 * i;
    Eight e{Load(c), Load(c + 16), Load(c + 32), Load(c + 48), Load(c + 64), Load(c + 80), Load(c + 96), Load(c + 112)};
    const Eight saved = e;
    XorAll(e, Row(drk, Rounds));
    for (int r = Rounds - 1; r > 0; --r) DecAll(e, Row(drk, r));
    DecLastAll(e, Row(drk, 0));
    uint8_t* o = out + 16 * i;
    Store(o, _mm_xor_si128(e.b0, chain));
    Store(o + 16, _mm_xor_si128(e.b1, saved.b0));
    Store(o + 32, _mm_xor_si128(e.b2, saved.b1));
    Store(o + 48, _mm_xor_si128(e.b3, saved.b2));
    Store(o + 64, _mm_xor_si128(e.b4, saved.b3));
    Store(o + 80, _mm_xor_si128(e.b5, saved.b4));
    Store(o + 96, _mm_xor_si128(e.b6, saved.b5));
    Store(o + 112, _mm_xor_si128(e.b7, saved.b6));
    chain = saved.b7;
  }
  for (; i < n; ++i) {
    const __m128i c = Load(in + 16 * i);
    Store(out + 16 * i, _mm_xor_si128(Decrypt<Rounds>(drk, c), chain));
    chain = c;
  }
  Store(cv, chain);
}

// Two blocks per 256-bit vector, eight vectors: sixteen blocks per pass. The
// previous ciphertexts are loaded (one block behind) before any output is
// stored, so in-place decryption works.
template <int Rounds>
VELSOR_VAES void DecryptCbcWideRounds(const uint32_t* drk, const uint8_t* in, uint8_t* out, std::size_t n,
                                      uint8_t* cv) {
  constexpr int kVectors = 8;
  __m128i chain = Load(cv);
  std::size_t i = 0;
  for (; i + 2 * kVectors <= n; i += 2 * kVectors) {
    const uint8_t* c = in + 16 * i;
    __m256i b[kVectors];
    const __m256i last = _mm256_broadcastsi128_si256(Row(drk, Rounds));
#pragma GCC unroll 8
    for (int v = 0; v < kVectors; ++v) {
      b[v] = _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(c + 32 * v)), last);
    }
    for (int r = Rounds - 1; r > 0; --r) {
      const __m256i key = _mm256_broadcastsi128_si256(Row(drk, r));
#pragma GCC unroll 8
      for (int v = 0; v < kVectors; ++v) b[v] = _mm256_aesdec_epi128(b[v], key);
    }
    const __m256i first = _mm256_broadcastsi128_si256(Row(drk, 0));
#pragma GCC unroll 8
    for (int v = 0; v < kVectors; ++v) b[v] = _mm256_aesdeclast_epi128(b[v], first);

    __m256i previous[kVectors];
    previous[0] = _mm256_inserti128_si256(_mm256_castsi128_si256(chain), Load(c), 1);
#pragma GCC unroll 8
    for (int v = 1; v < kVectors; ++v) {
      previous[v] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(c + 32 * v - 16));
    }
    chain = Load(c + 16 * (2 * kVectors - 1));
    uint8_t* o = out + 16 * i;
#pragma GCC unroll 8
    for (int v = 0; v < kVectors; ++v) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(o + 32 * v), _mm256_xor_si256(b[v], previous[v]));
    }
  }
  Store(cv, chain);
  // The rest, fewer than sixteen blocks, eight at a time and then one by one.
  DecryptCbcRounds<Rounds>(drk, in + 16 * i, out + 16 * i, n - i, cv);
}

}  // namespace

// Rijndael's key schedule gives 10, 12 or 14 rounds and nothing else.
VELSOR_AESNI void EncryptBlock(const uint32_t* rk, int rounds, const uint8_t* in, uint8_t* out) {
  const __m128i b = Load(in);
  Store(out, rounds == 10 ? Encrypt<10>(rk, b) : rounds == 12 ? Encrypt<12>(rk, b) : Encrypt<14>(rk, b));
}

VELSOR_AESNI void DecryptBlock(const uint32_t* drk, int rounds, const uint8_t* in, uint8_t* out) {
  const __m128i b = Load(in);
  Store(out, rounds == 10 ? Decrypt<10>(drk, b) : rounds == 12 ? Decrypt<12>(drk, b) : Decrypt<14>(drk, b));
}

void EncryptCbc(const uint32_t* rk, int rounds, const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) {
  if (rounds == 10) {
    EncryptCbcRounds<10>(rk, in, out, n, cv);
  } else if (rounds == 12) {
    EncryptCbcRounds<12>(rk, in, out, n, cv);
  } else {
    EncryptCbcRounds<14>(rk, in, out, n, cv);
  }
}

void DecryptCbc(const uint32_t* drk, int rounds, const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) {
  if (rounds == 10) {
    DecryptCbcRounds<10>(drk, in, out, n, cv);
  } else if (rounds == 12) {
    DecryptCbcRounds<12>(drk, in, out, n, cv);
  } else {
    DecryptCbcRounds<14>(drk, in, out, n, cv);
  }
}

void DecryptCbcWide(const uint32_t* drk, int rounds, const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) {
  if (rounds == 10) {
    DecryptCbcWideRounds<10>(drk, in, out, n, cv);
  } else if (rounds == 12) {
    DecryptCbcWideRounds<12>(drk, in, out, n, cv);
  } else {
    DecryptCbcWideRounds<14>(drk, in, out, n, cv);
  }
}

}  // namespace velsor::aesni

#endif
