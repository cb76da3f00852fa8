#include "crypto/hashes/tiger.h"

#include "crypto/hashes/tiger_tables.h"
#include "crypto/self_test.h"

namespace velsor {

namespace {

using tiger_tables::T1;
using tiger_tables::T2;
using tiger_tables::T3;
using tiger_tables::T4;

inline uint8_t Byte(uint64_t x, unsigned n) { return static_cast<uint8_t>(x >> (8 * n)); }

// One round: the even bytes of c feed a, the odd bytes feed b.
inline void Round(uint64_t& a, uint64_t& b, uint64_t& c, uint64_t x, uint64_t mul) {
  c ^= x;
  a -= T1[Byte(c, 0)] ^ T2[Byte(c, 2)] ^ T3[Byte(c, 4)] ^ T4[Byte(c, 6)];
  b += T4[Byte(c, 1)] ^ T3[Byte(c, 3)] ^ T2[Byte(c, 5)] ^ T1[Byte(c, 7)];
  b *= mul;
}

// Eight rounds, one per message word, the roles of a, b, c rotating.
inline void Pass(uint64_t& a, uint64_t& b, uint64_t& c, const uint64_t* x, uint64_t mul) {
  Round(a, b, c, x[0], mul);
  Round(b, c, a, x[1], mul);
  Round(c, a, b, x[2], mul);
  Round(a, b, c, x[3], mul);
  Round(b, c, a, x[4], mul);
  Round(c, a, b, x[5], mul);
  Round(a, b, c, x[6], mul);
  Round(b, c, a, x[7], mul);
}

// The key schedule that mixes the message words between passes.
inline void KeySchedule(uint64_t* x) {
  x[0] -= x[7] ^ 0xa5a5a5a5a5a5a5a5;
  x[1] ^= x[0];
  x[2] += x[1];
  x[3] -= x[2] ^ (~x[1] << 19);
  x[4] ^= x[3];
  x[5] += x[4];
  x[6] -= x[5] ^ (~x[4] >> 23);
  x[7] ^= x[6];
  x[0] += x[7];
  x[1] -= x[0] ^ (~x[7] << 19);
  x[2] ^= x[1];
  x[3] += x[2];
  x[4] -= x[3] ^ (~x[2] >> 23);
  x[5] ^= x[4];
  x[6] += x[5];
  x[7] -= x[6] ^ 0x0123456789abcdef;
}

}  // namespace

void Tiger::LoadInitialValues() {
  CurrentHash[0] = 0x0123456789abcdef;
  CurrentHash[1] = 0xfedcba9876543210;
  CurrentHash[2] = 0xf096a5b4c3b2e187;
}

void Tiger::CompressBlock(const uint8_t* block) {
  uint64_t x[8];
  for (int i = 0; i < 8; ++i) x[i] = load_le64(block + 8 * i);
  uint64_t a = CurrentHash[0], b = CurrentHash[1], c = CurrentHash[2];

  Pass(a, b, c, x, 5);
  KeySchedule(x);
  Pass(c, a, b, x, 7);
  KeySchedule(x);
  Pass(b, c, a, x, 9);

  // Feed-forward
  CurrentHash[0] ^= a;
  CurrentHash[1] = b - CurrentHash[1];
  CurrentHash[2] += c;
  secure_wipe(x, sizeof x);
}

void Tiger::Finish(uint8_t* digest) {
  PadWithLength(0x01, Endian::kLittle, 8);
  for (int i = 0; i < 3; ++i) store_le64(digest + 8 * i, CurrentHash[i]);
}

bool Tiger::SelfTest() {
  // The authors' published test set: the two 64-byte messages
  return self_test::HashKnownAnswers<Tiger>({
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-",
       "f71c8583902afb879edfe610f82c0d4786a3a534504486b5"},
      {"Tiger - A Fast New Hash Function, by Ross Anderson and Eli Biham",
       "8a866829040a410c729ad23f5ada711603b3cdd357e4c15e"},
  });
}

}  // namespace velsor
