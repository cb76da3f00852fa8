#include "crypto/ciphers/des.h"

#include <bit>
#include <cstring>

#include "crypto/self_test.h"

namespace velsor {

namespace {

// One exchange of the bits selected by mask between a and b >> shift.
inline void SwapBits(uint32_t& a, uint32_t& b, unsigned shift, uint32_t mask) {
  const uint32_t t = ((a >> shift) ^ b) & mask;
  b ^= t;
  a ^= t << shift;
}

// The initial permutation as a fixed sequence of bit exchanges between the two
// halves. It leaves both halves rotated left by one bit, the form the rounds use.
inline void InitialPermutation(uint32_t& left, uint32_t& right) {
  SwapBits(left, right, 4, 0x0F0F0F0F);
  SwapBits(left, right, 16, 0x0000FFFF);
  SwapBits(right, left, 2, 0x33333333);
  SwapBits(right, left, 8, 0x00FF00FF);
  right = std::rotl(right, 1);
  const uint32_t t = (left ^ right) & 0xAAAAAAAA;
  left ^= t;
  right ^= t;
  left = std::rotl(left, 1);
}

// The exact inverse of InitialPermutation (each exchange undoes itself).
inline void FinalPermutation(uint32_t& left, uint32_t& right) {
  left = std::rotr(left, 1);
  const uint32_t t = (left ^ right) & 0xAAAAAAAA;
  left ^= t;
  right ^= t;
  right = std::rotr(right, 1);
  SwapBits(right, left, 8, 0x00FF00FF);
  SwapBits(right, left, 2, 0x33333333);
  SwapBits(left, right, 16, 0x0000FFFF);
  SwapBits(left, right, 4, 0x0F0F0F0F);
}

// The round function on a half kept rotated left by one bit. Rotated right by
// four, that half holds the six-bit groups E1, E3, E5, E7 of the expansion E
// in the low six bits of its bytes; as it is, it holds E2, E4, E6, E8 there. k[0] holds the subkey
// groups 1, 3, 5, 7 and k[1] the groups 2, 4, 6, 8 in the same places.
inline uint32_t F(uint32_t r, const uint32_t* k) {
  const uint32_t odd = std::rotr(r, 4) ^ k[0];
  const uint32_t even = r ^ k[1];
  return kDesSpBox[0][(odd >> 24) & 0x3F] | kDesSpBox[2][(odd >> 16) & 0x3F] | kDesSpBox[4][(odd >> 8) & 0x3F] |
         kDesSpBox[6][odd & 0x3F] | kDesSpBox[1][(even >> 24) & 0x3F] | kDesSpBox[3][(even >> 16) & 0x3F] |
         kDesSpBox[5][(even >> 8) & 0x3F] | kDesSpBox[7][even & 0x3F];
}

// Sixteen rounds with the subkeys first to last, or last to first.
inline void Crypt(const uint32_t* schedule, bool decrypt, const uint8_t* in, uint8_t* out) {
  uint32_t left = load_be32(in);
  uint32_t right = load_be32(in + 4);
  InitialPermutation(left, right);
  for (int round = 0; round < 16; round += 2) {
    const int first = decrypt ? 15 - round : round;
    const int second = decrypt ? 14 - round : round + 1;
    left ^= F(right, schedule + 2 * first);
    right ^= F(left, schedule + 2 * second);
  }
  // The output of the last round is R16 L16.
  FinalPermutation(right, left);
  store_be32(out, right);
  store_be32(out + 4, left);
}

inline uint32_t Rotl28(uint32_t x, unsigned n) { return ((x << n) | (x >> (28 - n))) & 0x0FFFFFFF; }

// PC-1: the key's bytes are the rows of an 8 x 8 bit matrix, and PC-1 takes
// its columns. Loaded little-endian, key byte 7 is the top row; three
// exchanges transpose the matrix, after which row j holds bit j+1 of key
// bytes 7, 6, ..., 0. C is rows 0, 1, 2 and the upper half of row 3; D is
// rows 6, 5, 4 and the lower half of row 3. Row 7 (the parity bits) is dropped.
inline void PermutedChoice1(const uint8_t* key, uint32_t& c, uint32_t& d) {
  uint64_t x = load_le64(key);
  uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAULL;
  x ^= t ^ (t << 7);
  t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCULL;
  x ^= t ^ (t << 14);
  t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ULL;
  x ^= t ^ (t << 28);
  auto row = [x](unsigned j) { return static_cast<uint32_t>(x >> (56 - 8 * j)) & 0xFF; };
  c = static_cast<uint32_t>(x >> 36);
  d = (row(6) << 20) | (row(5) << 12) | (row(4) << 4) | (row(3) & 0x0F);
}

// FIPS 46-3: the left rotations of C and D before each round.
constexpr unsigned kRotations[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

}  // namespace

// ---------------------------------------------------------------------------
// DesBase

void DesBase::ExpandKey(const uint8_t* key, uint32_t* schedule) {
  uint32_t c = 0;
  uint32_t d = 0;
  PermutedChoice1(key, c, d);
  for (int round = 0; round < 16; ++round) {
    c = Rotl28(c, kRotations[round]);
    d = Rotl28(d, kRotations[round]);
    // Gather the six bits of each PC-2 piece (kPc2Pieces in des_tables.cpp);
    // C and D hold bit 1 of their half in bit 27.
    const uint32_t from_c = kDesPc2Box[0][(c >> 22) & 0x3F] |                                   // 1-6
                            kDesPc2Box[1][((c >> 16) & 0x30) | ((c >> 15) & 0x0F)] |            // 7 8, 10-13
                            kDesPc2Box[2][((c >> 9) & 0x3C) | ((c >> 8) & 0x03)] |              // 14-17, 19 20
                            kDesPc2Box[3][((c >> 2) & 0x20) | ((c >> 1) & 0x18) | (c & 0x07)];  // 21, 23 24, 26-28
    const uint32_t from_d = kDesPc2Box[4][(d >> 22) & 0x3F] |                                   // 29-34
                            kDesPc2Box[5][((d >> 15) & 0x30) | ((d >> 14) & 0x0F)] |            // 36 37, 39-42
                            kDesPc2Box[6][(d >> 7) & 0x3F] |                                    // 44-49
                            kDesPc2Box[7][((d >> 1) & 0x3C) | (d & 0x03)];                      // 50-53, 55 56
    schedule[2 * round] = (from_c & 0xFFFF0000) | (from_d >> 16);                               // groups 1, 3, 5, 7
    schedule[2 * round + 1] = (from_c << 16) | (from_d & 0x0000FFFF);                           // groups 2, 4, 6, 8
  }
}

void DesBase::EncryptBlock(const uint32_t* schedule, const uint8_t* in, uint8_t* out) {
  Crypt(schedule, false, in, out);
}

void DesBase::DecryptBlock(const uint32_t* schedule, const uint8_t* in, uint8_t* out) {
  Crypt(schedule, true, in, out);
}

// ---------------------------------------------------------------------------
// Des

void Des::ScheduleKey(const void* Key, uint32_t Size) {
  SecretArray<uint8_t, 8> key;
  std::memcpy(key.data(), Key, Size / 8);
  ExpandKey(key.data(), KeyData.data());
}

void Des::Burn() {
  KeyData.Wipe();
  DesBase::Burn();
}

void Des::EncryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  EncryptBlock(KeyData.data(), static_cast<const uint8_t*>(Indata), static_cast<uint8_t*>(Outdata));
}

void Des::DecryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  DecryptBlock(KeyData.data(), static_cast<const uint8_t*>(Indata), static_cast<uint8_t*>(Outdata));
}

bool Des::SelfTest() {
  return self_test::BlockCipherKnownAnswers<Des>({
      {"133457799bbcdff1", "0123456789abcdef", "85e813540f0ab405"},  // the widely published worked example
      {"0123456789abcdef", "4e6f772069732074", "3fa40e8a984d4815"},  // FIPS 81, ECB "Now is t"
  });
}

// ---------------------------------------------------------------------------
// TripleDes

void TripleDes::ScheduleKey(const void* Key, uint32_t Size) {
  SecretArray<uint8_t, 24> key;
  std::memcpy(key.data(), Key, Size / 8);
  ExpandKey(key.data(), KeyData.data());
  ExpandKey(key.data() + 8, KeyData.data() + kScheduleWords);
  if (Size <= 128) {
    std::memcpy(KeyData.data() + 2 * kScheduleWords, KeyData.data(), kScheduleWords * sizeof(uint32_t));
  } else {
    ExpandKey(key.data() + 16, KeyData.data() + 2 * kScheduleWords);
  }
}

void TripleDes::Burn() {
  KeyData.Wipe();
  DesBase::Burn();
}

void TripleDes::EncryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  EncryptBlock(K(1), static_cast<const uint8_t*>(Indata), out);
  DecryptBlock(K(2), out, out);
  EncryptBlock(K(3), out, out);
}

void TripleDes::DecryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  DecryptBlock(K(3), static_cast<const uint8_t*>(Indata), out);
  EncryptBlock(K(2), out, out);
  DecryptBlock(K(1), out, out);
}

bool TripleDes::SelfTest() {
  // NIST SP 800-67, the Triple DES example: three distinct keys, the first block.
  return self_test::BlockCipherKnownAnswers<TripleDes>({
      {"0123456789abcdef23456789abcdef01456789abcdef0123", "5468652071756663", "a826fd8ce53b855f"},
  });
}

}  // namespace velsor
