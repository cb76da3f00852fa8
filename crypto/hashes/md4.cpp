#include "crypto/hashes/md4.h"

#include <bit>

#include "crypto/hashes/md_common.h"
#include "crypto/self_test.h"

namespace velsor {

namespace {

inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (~x & z); }
inline uint32_t G(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (x & z) | (y & z); }
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }

inline void R1(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, unsigned s) {
  a = std::rotl(a + F(b, c, d) + x, s);
}
inline void R2(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, unsigned s) {
  a = std::rotl(a + G(b, c, d) + x + 0x5a827999U, s);
}
inline void R3(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, unsigned s) {
  a = std::rotl(a + H(b, c, d) + x + 0x6ed9eba1U, s);
}

}  // namespace

void Md4::LoadInitialValues() { md_common::LoadInitialValues(CurrentHash.data()); }

void Md4::CompressBlock(const uint8_t* block) {
  uint32_t x[16];
  for (int i = 0; i < 16; ++i) x[i] = load_le32(block + 4 * i);
  uint32_t a = CurrentHash[0], b = CurrentHash[1], c = CurrentHash[2], d = CurrentHash[3];

  // Round 1 (RFC 1320, 3.4)
  R1(a, b, c, d, x[0], 3);   R1(d, a, b, c, x[1], 7);   R1(c, d, a, b, x[2], 11);  R1(b, c, d, a, x[3], 19);
  R1(a, b, c, d, x[4], 3);   R1(d, a, b, c, x[5], 7);   R1(c, d, a, b, x[6], 11);  R1(b, c, d, a, x[7], 19);
  R1(a, b, c, d, x[8], 3);   R1(d, a, b, c, x[9], 7);   R1(c, d, a, b, x[10], 11); R1(b, c, d, a, x[11], 19);
  R1(a, b, c, d, x[12], 3);  R1(d, a, b, c, x[13], 7);  R1(c, d, a, b, x[14], 11); R1(b, c, d, a, x[15], 19);
  // Round 2
  R2(a, b, c, d, x[0], 3);   R2(d, a, b, c, x[4], 5);   R2(c, d, a, b, x[8], 9);   R2(b, c, d, a, x[12], 13);
  R2(a, b, c, d, x[1], 3);   R2(d, a, b, c, x[5], 5);   R2(c, d, a, b, x[9], 9);   R2(b, c, d, a, x[13], 13);
  R2(a, b, c, d, x[2], 3);   R2(d, a, b, c, x[6], 5);   R2(c, d, a, b, x[10], 9);  R2(b, c, d, a, x[14], 13);
  R2(a, b, c, d, x[3], 3);   R2(d, a, b, c, x[7], 5);   R2(c, d, a, b, x[11], 9);  R2(b, c, d, a, x[15], 13);
  // Round 3
  R3(a, b, c, d, x[0], 3);   R3(d, a, b, c, x[8], 9);   R3(c, d, a, b, x[4], 11);  R3(b, c, d, a, x[12], 15);
  R3(a, b, c, d, x[2], 3);   R3(d, a, b, c, x[10], 9);  R3(c, d, a, b, x[6], 11);  R3(b, c, d, a, x[14], 15);
  R3(a, b, c, d, x[1], 3);   R3(d, a, b, c, x[9], 9);   R3(c, d, a, b, x[5], 11);  R3(b, c, d, a, x[13], 15);
  R3(a, b, c, d, x[3], 3);   R3(d, a, b, c, x[11], 9);  R3(c, d, a, b, x[7], 11);  R3(b, c, d, a, x[15], 15);

  CurrentHash[0] += a;
  CurrentHash[1] += b;
  CurrentHash[2] += c;
  CurrentHash[3] += d;
  secure_wipe(x, sizeof x);
}

void Md4::Finish(uint8_t* digest) {
  PadWithLength(0x80, Endian::kLittle, 8);
  md_common::StoreDigest(CurrentHash.data(), digest);
}

bool Md4::SelfTest() {
  // RFC 1320, A.5
  return self_test::HashKnownAnswers<Md4>({
      {"abc", "a448017aaf21d8525fc10ae87aa6729d"},
      {"abcdefghijklmnopqrstuvwxyz", "d79e1c308aa5bbcdeea8ed63df412da9"},
  });
}

}  // namespace velsor
