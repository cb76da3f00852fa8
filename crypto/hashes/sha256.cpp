#include "crypto/hashes/sha256.h"

#include <bit>

#include "crypto/self_test.h"

namespace velsor {

namespace {

extern const uint32_t kRoundConstants[64];

inline uint32_t Ch(uint32_t x, uint32_t y, uint32_t z) { return (x & y) ^ (~x & z); }
inline uint32_t Maj(uint32_t x, uint32_t y, uint32_t z) { return (x & y) ^ (x & z) ^ (y & z); }
inline uint32_t Sum0(uint32_t x) { return std::rotr(x, 2) ^ std::rotr(x, 13) ^ std::rotr(x, 22); }
inline uint32_t Sum1(uint32_t x) { return std::rotr(x, 6) ^ std::rotr(x, 11) ^ std::rotr(x, 25); }
inline uint32_t sigma0(uint32_t x) { return std::rotr(x, 7) ^ std::rotr(x, 18) ^ (x >> 3); }
inline uint32_t sigma1(uint32_t x) { return std::rotr(x, 17) ^ std::rotr(x, 19) ^ (x >> 10); }

// One step, with the variables renamed instead of shifted: d and h take their
// new values, so the next step is Step(h, a, b, c, d, e, f, g).
inline void Step(uint32_t a, uint32_t b, uint32_t c, uint32_t& d, uint32_t e, uint32_t f, uint32_t g, uint32_t& h,
                 uint32_t kw) {
  const uint32_t t1 = h + Sum1(e) + Ch(e, f, g) + kw;
  d += t1;
  h = t1 + Sum0(a) + Maj(a, b, c);
}

}  // namespace

// FIPS 180-2, 5.3.2: the first 32 bits of the fractional parts of the square
// roots of the first eight primes.
void Sha256::LoadInitialValues() {
  CurrentHash[0] = 0x6a09e667;
  CurrentHash[1] = 0xbb67ae85;
  CurrentHash[2] = 0x3c6ef372;
  CurrentHash[3] = 0xa54ff53a;
  CurrentHash[4] = 0x510e527f;
  CurrentHash[5] = 0x9b05688c;
  CurrentHash[6] = 0x1f83d9ab;
  CurrentHash[7] = 0x5be0cd19;
}

void Sha256::CompressBlock(const uint8_t* block) {
  uint32_t w[64];
  for (int t = 0; t < 16; ++t) w[t] = load_be32(block + 4 * t);
  for (int t = 16; t < 64; ++t) w[t] = sigma1(w[t - 2]) + w[t - 7] + sigma0(w[t - 15]) + w[t - 16];

  uint32_t a = CurrentHash[0], b = CurrentHash[1], c = CurrentHash[2], d = CurrentHash[3];
  uint32_t e = CurrentHash[4], f = CurrentHash[5], g = CurrentHash[6], h = CurrentHash[7];
  const uint32_t* k = kRoundConstants;
  for (int t = 0; t < 64; t += 8) {
    Step(a, b, c, d, e, f, g, h, k[t] + w[t]);
    Step(h, a, b, c, d, e, f, g, k[t + 1] + w[t + 1]);
    Step(g, h, a, b, c, d, e, f, k[t + 2] + w[t + 2]);
    Step(f, g, h, a, b, c, d, e, k[t + 3] + w[t + 3]);
    Step(e, f, g, h, a, b, c, d, k[t + 4] + w[t + 4]);
    Step(d, e, f, g, h, a, b, c, k[t + 5] + w[t + 5]);
    Step(c, d, e, f, g, h, a, b, k[t + 6] + w[t + 6]);
    Step(b, c, d, e, f, g, h, a, k[t + 7] + w[t + 7]);
  }

  CurrentHash[0] += a;
  CurrentHash[1] += b;
  CurrentHash[2] += c;
  CurrentHash[3] += d;
  CurrentHash[4] += e;
  CurrentHash[5] += f;
  CurrentHash[6] += g;
  CurrentHash[7] += h;
  secure_wipe(w, sizeof w);
}

void Sha256::Finish(uint8_t* digest) {
  PadWithLength(0x80, Endian::kBig, 8);
  for (int i = 0; i < 8; ++i) store_be32(digest + 4 * i, CurrentHash[i]);
}

bool Sha256::SelfTest() {
  // FIPS 180-2, appendix B: the one-block and the two-block message.
  return self_test::HashKnownAnswers<Sha256>({
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
  });
}

namespace {

// FIPS 180-2, 4.2.2: the first 32 bits of the fractional parts of the cube
// roots of the first 64 primes.
const uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

}  // namespace

}  // namespace velsor
