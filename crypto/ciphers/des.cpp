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

// The round function on a half kept rotated left by one bit. That half holds
// the six-bit groups E2, E4, E6, E8 of the expansion E in the low six bits of
// its bytes, and E1, E3, E5, E7 four bits higher (E1 wrapping around from the
// top). k[1] holds the subkey groups 2, 4, 6, 8 and k[0] the groups 1, 3, 5,
// 7 in the same places as the half (ExpandKey), so each group is one shift
// or rotation and one mask away from its table.
// The eight table words fill disjoint bits, so OR, XOR and addition combine
// them alike; three different operations make a tree of depth three, which
// a compiler cannot re-chain into seven ORs in a row as it does with one.
inline uint32_t F(uint32_t r, const uint32_t* k) {
  const uint32_t odd = r ^ k[0];
  const uint32_t even = r ^ k[1];
  const uint32_t s1 = kDesSpBox[0][std::rotl(odd, 4) & 0x3F] | kDesSpBox[1][(even >> 24) & 0x3F];
  const uint32_t s3 = kDesSpBox[2][(odd >> 20) & 0x3F] | kDesSpBox[3][(even >> 16) & 0x3F];
  const uint32_t s5 = kDesSpBox[4][(odd >> 12) & 0x3F] | kDesSpBox[5][(even >> 8) & 0x3F];
  const uint32_t s7 = kDesSpBox[6][(odd >> 4) & 0x3F] | kDesSpBox[7][even & 0x3F];
  return (s1 ^ s3) + (s5 ^ s7);
}

// Sixteen rounds on N independent blocks side by side, so that their rounds
// interleave, on halves in the form InitialPermutation leaves them. The
// subkeys run first to last, or last to first for decryption. The output
// block of the rounds is right | left.
template <bool Decrypt, std::size_t N>
inline void Rounds(const uint32_t* schedule, uint32_t (&left)[N], uint32_t (&right)[N]) {
  for (int round = 0; round < 16; round += 2) {
    const uint32_t* first = schedule + 2 * (Decrypt ? 15 - round : round);
    const uint32_t* second = schedule + 2 * (Decrypt ? 14 - round : round + 1);
    for (std::size_t j = 0; j < N; ++j) left[j] ^= F(right[j], first);
    for (std::size_t j = 0; j < N; ++j) right[j] ^= F(left[j], second);
  }
}

template <std::size_t N>
inline void LoadBlocks(const uint8_t* in, uint32_t (&left)[N], uint32_t (&right)[N]) {
  for (std::size_t j = 0; j < N; ++j) {
    left[j] = load_be32(in + 8 * j);
    right[j] = load_be32(in + 8 * j + 4);
    InitialPermutation(left[j], right[j]);
  }
}

// Stores the blocks right | left, the order the rounds leave them in.
template <std::size_t N>
inline void StoreBlocks(uint32_t (&left)[N], uint32_t (&right)[N], uint8_t* out) {
  for (std::size_t j = 0; j < N; ++j) {
    FinalPermutation(right[j], left[j]);
    store_be32(out + 8 * j, right[j]);
    store_be32(out + 8 * j + 4, left[j]);
  }
}

// DES on N blocks; every block is read before any is written.
template <bool Decrypt, std::size_t N>
inline void Crypt(const uint32_t* schedule, const uint8_t* in, uint8_t* out) {
  uint32_t left[N];
  uint32_t right[N];
  LoadBlocks(in, left, right);
  Rounds<Decrypt>(schedule, left, right);
  StoreBlocks(left, right, out);
}

// Triple DES on N blocks: the three DES operations run one after the other on
// the halves. The final permutation of one and the initial permutation of the
// next cancel, so only the exchange of the halves remains between them.
template <bool Decrypt, std::size_t N>
inline void Crypt3(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3, const uint8_t* in, uint8_t* out) {
  uint32_t left[N];
  uint32_t right[N];
  LoadBlocks(in, left, right);
  Rounds<Decrypt>(Decrypt ? k3 : k1, left, right);
  Rounds<!Decrypt>(k2, right, left);
  Rounds<Decrypt>(Decrypt ? k1 : k3, left, right);
  StoreBlocks(left, right, out);
}

// CBC encryption in the permuted domain. The initial permutation permutes
// bits, so IP(P ^ C) = IP(P) ^ IP(C), and the halves the rounds leave are
// IP(C) of the ciphertext they produce: the chain from block to block is the
// rounds and one XOR, and the permutations of each plaintext and ciphertext
// block run beside it. rounds(left, right) leaves the output block right | left.
template <class Stages>
inline void EncryptCbc(Stages rounds, const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) {
  uint32_t chain_left[1];
  uint32_t chain_right[1];
  LoadBlocks(cv, chain_left, chain_right);
  for (; n > 0; --n, in += 8, out += 8) {
    uint32_t left[1];
    uint32_t right[1];
    LoadBlocks(in, left, right);
    left[0] ^= chain_left[0];
    right[0] ^= chain_right[0];
    rounds(left, right);
    chain_left[0] = right[0];
    chain_right[0] = left[0];
    StoreBlocks(left, right, out);
  }
  StoreBlocks(chain_right, chain_left, cv);
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
    // Groups 1, 3, 5, 7 in the low six bits of the bytes, rotated left by
    // four to where F finds them; groups 2, 4, 6, 8 as they are.
    schedule[2 * round] = std::rotl((from_c & 0xFFFF0000) | (from_d >> 16), 4);
    schedule[2 * round + 1] = (from_c << 16) | (from_d & 0x0000FFFF);
  }
}

void DesBase::EncryptBlock(const uint32_t* schedule, const uint8_t* in, uint8_t* out) {
  Crypt<false, 1>(schedule, in, out);
}

void DesBase::DecryptBlock(const uint32_t* schedule, const uint8_t* in, uint8_t* out) {
  Crypt<true, 1>(schedule, in, out);
}

void DesBase::EncryptCbc(const uint32_t* schedule, const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) {
  velsor::EncryptCbc([schedule](uint32_t(&left)[1], uint32_t(&right)[1]) { Rounds<false>(schedule, left, right); }, in,
                     out, n, cv);
}

void DesBase::DecryptMany(const uint32_t* schedule, const uint8_t* in, uint8_t* out, std::size_t n) {
  constexpr std::size_t kLanes = 4;
  for (; n >= kLanes; n -= kLanes, in += 8 * kLanes, out += 8 * kLanes) Crypt<true, kLanes>(schedule, in, out);
  for (; n > 0; --n, in += 8, out += 8) Crypt<true, 1>(schedule, in, out);
}

void DesBase::EncryptBlock3(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3, const uint8_t* in,
                            uint8_t* out) {
  Crypt3<false, 1>(k1, k2, k3, in, out);
}

void DesBase::DecryptBlock3(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3, const uint8_t* in,
                            uint8_t* out) {
  Crypt3<true, 1>(k1, k2, k3, in, out);
}

void DesBase::EncryptCbc3(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3, const uint8_t* in, uint8_t* out,
                          std::size_t n, uint8_t* cv) {
  velsor::EncryptCbc(
      [k1, k2, k3](uint32_t(&left)[1], uint32_t(&right)[1]) {
        Rounds<false>(k1, left, right);
        Rounds<true>(k2, right, left);
        Rounds<false>(k3, left, right);
      },
      in, out, n, cv);
}

void DesBase::DecryptMany3(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3, const uint8_t* in, uint8_t* out,
                           std::size_t n) {
  constexpr std::size_t kLanes = 4;
  for (; n >= kLanes; n -= kLanes, in += 8 * kLanes, out += 8 * kLanes) Crypt3<true, kLanes>(k1, k2, k3, in, out);
  for (; n > 0; --n, in += 8, out += 8) Crypt3<true, 1>(k1, k2, k3, in, out);
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

void Des::EncryptCbcBlocks(const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) {
  EncryptCbc(KeyData.data(), in, out, n, cv);
}

void Des::DecryptBlocks(const uint8_t* in, uint8_t* out, std::size_t n) { DecryptMany(KeyData.data(), in, out, n); }

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
  EncryptBlock3(K(1), K(2), K(3), static_cast<const uint8_t*>(Indata), static_cast<uint8_t*>(Outdata));
}

void TripleDes::DecryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  DecryptBlock3(K(1), K(2), K(3), static_cast<const uint8_t*>(Indata), static_cast<uint8_t*>(Outdata));
}

void TripleDes::EncryptCbcBlocks(const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) {
  EncryptCbc3(K(1), K(2), K(3), in, out, n, cv);
}

void TripleDes::DecryptBlocks(const uint8_t* in, uint8_t* out, std::size_t n) {
  DecryptMany3(K(1), K(2), K(3), in, out, n);
}

bool TripleDes::SelfTest() {
  // NIST SP 800-67, the Triple DES example: three distinct keys, the first block.
  return self_test::BlockCipherKnownAnswers<TripleDes>({
      {"0123456789abcdef23456789abcdef01456789abcdef0123", "5468652071756663", "a826fd8ce53b855f"},
  });
}

}  // namespace velsor
