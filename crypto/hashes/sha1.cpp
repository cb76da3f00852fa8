#include "crypto/hashes/sha1.h"

#include <bit>

#include "crypto/self_test.h"

namespace velsor {

namespace {

inline uint32_t Ch(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (~x & z); }
inline uint32_t Parity(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
inline uint32_t Maj(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (x & z) | (y & z); }

// One step, with the variables renamed instead of shifted: e takes the new
// value and b its 30-bit rotation, so the next step is Step(e, a, b, c, d).
template <uint32_t (*F)(uint32_t, uint32_t, uint32_t), uint32_t K>
inline void Step(uint32_t a, uint32_t& b, uint32_t c, uint32_t d, uint32_t& e, uint32_t w) {
  e += std::rotl(a, 5) + F(b, c, d) + K + w;
  b = std::rotl(b, 30);
}

// Twenty steps with one round function and constant, five at a time so the
// names come back to where they started.
template <uint32_t (*F)(uint32_t, uint32_t, uint32_t), uint32_t K>
inline void TwentySteps(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, uint32_t& e, const uint32_t* w) {
  for (int t = 0; t < 20; t += 5) {
    Step<F, K>(a, b, c, d, e, w[t]);
    Step<F, K>(e, a, b, c, d, w[t + 1]);
    Step<F, K>(d, e, a, b, c, w[t + 2]);
    Step<F, K>(c, d, e, a, b, w[t + 3]);
    Step<F, K>(b, c, d, e, a, w[t + 4]);
  }
}

}  // namespace

// FIPS 180-2, 5.3.1.
void Sha1::LoadInitialValues() {
  CurrentHash[0] = 0x67452301;
  CurrentHash[1] = 0xefcdab89;
  CurrentHash[2] = 0x98badcfe;
  CurrentHash[3] = 0x10325476;
  CurrentHash[4] = 0xc3d2e1f0;
}

void Sha1::CompressBlock(const uint8_t* block) {
  uint32_t w[80];
  for (int t = 0; t < 16; ++t) w[t] = load_be32(block + 4 * t);
  // The one-bit rotation is what distinguishes SHA-1 from its withdrawn predecessor.
  for (int t = 16; t < 80; ++t) w[t] = std::rotl(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);

  uint32_t a = CurrentHash[0], b = CurrentHash[1], c = CurrentHash[2], d = CurrentHash[3], e = CurrentHash[4];
  // Step constants: 2^30 times the square roots of 2, 3, 5 and 10 (FIPS 180-2, 4.2.1).
  TwentySteps<Ch, 0x5a827999>(a, b, c, d, e, w);
  TwentySteps<Parity, 0x6ed9eba1>(a, b, c, d, e, w + 20);
  TwentySteps<Maj, 0x8f1bbcdc>(a, b, c, d, e, w + 40);
  TwentySteps<Parity, 0xca62c1d6>(a, b, c, d, e, w + 60);

  CurrentHash[0] += a;
  CurrentHash[1] += b;
  CurrentHash[2] += c;
  CurrentHash[3] += d;
  CurrentHash[4] += e;
  secure_wipe(w, sizeof w);
}

void Sha1::Finish(uint8_t* digest) {
  PadWithLength(0x80, Endian::kBig, 8);
  for (int i = 0; i < 5; ++i) store_be32(digest + 4 * i, CurrentHash[i]);
}

bool Sha1::SelfTest() {
  // FIPS 180-2, appendix A: the one-block and the two-block message.
  return self_test::HashKnownAnswers<Sha1>({
      {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
  });
}

}  // namespace velsor
