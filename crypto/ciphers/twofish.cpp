#include "crypto/ciphers/twofish.h"

#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "crypto/self_test.h"

namespace velsor {
namespace {

using Table = std::array<std::array<uint32_t, 256>, 4>;

// ---------------------------------------------------------------------------
// The fixed permutations q0 and q1, each built from four 4-bit permutations
// t0..t3 exactly as the designers define them.

constexpr uint8_t kQNibbles[2][4][16] = {
    {{0x8, 0x1, 0x7, 0xD, 0x6, 0xF, 0x3, 0x2, 0x0, 0xB, 0x5, 0x9, 0xE, 0xC, 0xA, 0x4},
     {0xE, 0xC, 0xB, 0x8, 0x1, 0x2, 0x3, 0x5, 0xF, 0x4, 0xA, 0x6, 0x7, 0x0, 0x9, 0xD},
     {0xB, 0xA, 0x5, 0xE, 0x6, 0xD, 0x9, 0x0, 0xC, 0x8, 0xF, 0x3, 0x2, 0x4, 0x7, 0x1},
     {0xD, 0x7, 0xF, 0x4, 0x1, 0x2, 0x6, 0xE, 0x9, 0xB, 0x3, 0x0, 0x8, 0x5, 0xC, 0xA}},
    {{0x2, 0x8, 0xB, 0xD, 0xF, 0x7, 0x6, 0xE, 0x3, 0x1, 0x9, 0x4, 0x0, 0xA, 0xC, 0x5},
     {0x1, 0xE, 0x2, 0xB, 0x4, 0xC, 0x3, 0x7, 0x6, 0xD, 0xA, 0x5, 0xF, 0x9, 0x0, 0x8},
     {0x4, 0xC, 0x7, 0x5, 0x1, 0x6, 0x9, 0xA, 0x0, 0xE, 0xD, 0x8, 0x2, 0xB, 0x3, 0xF},
     {0xB, 0x9, 0x5, 0x1, 0xC, 0x3, 0xD, 0xE, 0x6, 0x4, 0x7, 0xF, 0x2, 0x0, 0x8, 0xA}},
};

constexpr unsigned Ror4(unsigned x) { return ((x >> 1) | (x << 3)) & 15U; }

constexpr std::array<uint8_t, 256> BuildQ(const uint8_t (&t)[4][16]) {
  std::array<uint8_t, 256> q{};
  for (unsigned x = 0; x < 256; ++x) {
    const unsigned a0 = x >> 4;
    const unsigned b0 = x & 15U;
    const unsigned a1 = a0 ^ b0;
    const unsigned b1 = (a0 ^ Ror4(b0) ^ (8 * a0)) & 15U;
    const unsigned a2 = t[0][a1];
    const unsigned b2 = t[1][b1];
    const unsigned a3 = a2 ^ b2;
    const unsigned b3 = (a2 ^ Ror4(b2) ^ (8 * a2)) & 15U;
    q[x] = static_cast<uint8_t>((t[3][b3] << 4) | t[2][a3]);
  }
  return q;
}

constexpr std::array<uint8_t, 256> kQ[2] = {BuildQ(kQNibbles[0]), BuildQ(kQNibbles[1])};
// First entries of q0 and q1 as printed in the designers' reference tables.
static_assert(kQ[0][0] == 0xA9 && kQ[0][1] == 0x67 && kQ[0][2] == 0xB3 && kQ[0][3] == 0xE8);
static_assert(kQ[1][0] == 0x75 && kQ[1][1] == 0xF3 && kQ[1][2] == 0xC6 && kQ[1][3] == 0xF4);

// Which permutation (0 for q0, 1 for q1) byte position 0..3 of the h function
// passes through at the stage of key word L[j]; the stages run from
// L[k-1] down to L[0], and the last one before the MDS matrix is kFinalQ.
constexpr uint8_t kStageQ[4][4] = {{0, 0, 1, 1}, {0, 1, 0, 1}, {1, 1, 0, 0}, {1, 0, 0, 1}};
constexpr uint8_t kFinalQ[4] = {1, 0, 1, 0};

// ---------------------------------------------------------------------------
// GF(2^8) arithmetic for the MDS and Reed-Solomon matrices.

constexpr unsigned kMdsPoly = 0x169;  // x^8 + x^6 + x^5 + x^3 + 1
constexpr unsigned kRsPoly = 0x14D;   // x^8 + x^6 + x^3 + x^2 + 1

constexpr uint8_t GfMul(uint8_t a, uint8_t b, unsigned poly) {
  unsigned product = 0;
  unsigned x = a;
  for (unsigned y = b; y != 0; y >>= 1) {
    if (y & 1U) product ^= x;
    x <<= 1;
    if (x & 0x100U) x ^= poly;
  }
  return static_cast<uint8_t>(product);
}

constexpr uint8_t kMds[4][4] = {
    {0x01, 0xEF, 0x5B, 0x5B}, {0x5B, 0xEF, 0xEF, 0x01}, {0xEF, 0x5B, 0x01, 0xEF}, {0xEF, 0x01, 0xEF, 0x5B}};

constexpr uint8_t kRs[4][8] = {{0x01, 0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E},
                               {0xA4, 0x56, 0x82, 0xF3, 0x1E, 0xC6, 0x68, 0xE5},
                               {0x02, 0xA1, 0xFC, 0xC1, 0x47, 0xAE, 0x3D, 0x19},
                               {0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E, 0x03}};

// Entry x of table i: MDS column i times the last permutation of position i
// applied to x. Shared by every instance and never changed once built; a
// function-local static is built exactly once even if two threads race here.
const Table& MdsTable() {
  static const Table table = [] {
    Table t{};
    for (unsigned i = 0; i < 4; ++i) {
      for (unsigned x = 0; x < 256; ++x) {
        const uint8_t y = kQ[kFinalQ[i]][x];
        uint32_t column = 0;
        for (unsigned row = 0; row < 4; ++row)
          column |= static_cast<uint32_t>(GfMul(kMds[row][i], y, kMdsPoly)) << (8 * row);
        t[i][x] = column;
      }
    }
    return t;
  }();
  return table;
}

inline uint8_t ByteOf(uint32_t word, unsigned pos) { return static_cast<uint8_t>(word >> (8 * pos)); }

// Byte position pos of the h function up to its last permutation: x through
// the stages of L[k-1] .. L[0], XORing the key word's byte after each.
inline uint8_t HStages(unsigned pos, uint8_t x, const uint32_t* L, unsigned k) {
  for (unsigned j = k; j-- > 0;) x = static_cast<uint8_t>(kQ[kStageQ[j][pos]][x] ^ ByteOf(L[j], pos));
  return x;
}

uint32_t H(uint32_t X, const uint32_t* L, unsigned k, const Table& mds) {
  uint32_t z = 0;
  for (unsigned pos = 0; pos < 4; ++pos) z ^= mds[pos][HStages(pos, ByteOf(X, pos), L, k)];
  return z;
}

// One S-vector word from 8 key bytes through the Reed-Solomon matrix.
uint32_t RsWord(const uint8_t* m) {
  uint32_t s = 0;
  for (unsigned row = 0; row < 4; ++row) {
    uint8_t v = 0;
    for (unsigned col = 0; col < 8; ++col) v ^= GfMul(kRs[row][col], m[col], kRsPoly);
    s |= static_cast<uint32_t>(v) << (8 * row);
  }
  return s;
}

}  // namespace

Twofish::Twofish(Component* owner) : CipherMetadata(owner) {
  (void)MdsTable();
  Burn();
}

void Twofish::Burn() {
  fKeyedSbox.Wipe(0xFF);
  fSubkeys.Wipe(0xFF);
  BlockCipher128::Burn();
}

void Twofish::ScheduleKey(const void* Key, uint32_t Size) {
  SecretArray<uint8_t, 32> key;  // the given bytes, then zeros
  std::memcpy(key.data(), Key, Size / 8);
  // The length class follows the size in bits: 132 bits run Twofish-192.
  const unsigned k = Size <= 128 ? 2 : (Size <= 192 ? 3 : 4);

  SecretArray<uint32_t, 4> even;  // Me
  SecretArray<uint32_t, 4> odd;   // Mo
  SecretArray<uint32_t, 4> s;     // S(k-1) .. S(0): the S-vector in the order g uses it
  for (unsigned i = 0; i < k; ++i) {
    even[i] = load_le32(key.data() + 8 * i);
    odd[i] = load_le32(key.data() + 8 * i + 4);
    s[k - 1 - i] = RsWord(key.data() + 8 * i);
  }

  const Table& mds = MdsTable();
  constexpr uint32_t kRho = 0x01010101;
  for (uint32_t j = 0; j < 20; ++j) {
    const uint32_t a = H(2 * j * kRho, even.data(), k, mds);
    const uint32_t b = std::rotl(H((2 * j + 1) * kRho, odd.data(), k, mds), 8);
    fSubkeys[2 * j] = a + b;
    fSubkeys[2 * j + 1] = std::rotl(a + 2 * b, 9);
  }
  for (unsigned pos = 0; pos < 4; ++pos) {
    for (unsigned x = 0; x < 256; ++x)
      fKeyedSbox[pos][x] = mds[pos][HStages(pos, static_cast<uint8_t>(x), s.data(), k)];
  }
}

inline uint32_t Twofish::G(uint32_t x) const {
  return fKeyedSbox[0][ByteOf(x, 0)] ^ fKeyedSbox[1][ByteOf(x, 1)] ^ fKeyedSbox[2][ByteOf(x, 2)] ^
         fKeyedSbox[3][ByteOf(x, 3)];
}

// Two rounds per pass, without swapping the halves: the words take turns.
void Twofish::EncryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint32_t x0 = load_le32(in) ^ fSubkeys[0];
  uint32_t x1 = load_le32(in + 4) ^ fSubkeys[1];
  uint32_t x2 = load_le32(in + 8) ^ fSubkeys[2];
  uint32_t x3 = load_le32(in + 12) ^ fSubkeys[3];
  for (unsigned r = 0; r < 16; r += 2) {
    const uint32_t* k = fSubkeys.data() + 8 + 2 * r;
    uint32_t t0 = G(x0);
    uint32_t t1 = G(std::rotl(x1, 8));
    x2 = std::rotr(x2 ^ (t0 + t1 + k[0]), 1);
    x3 = std::rotl(x3, 1) ^ (t0 + 2 * t1 + k[1]);
    t0 = G(x2);
    t1 = G(std::rotl(x3, 8));
    x0 = std::rotr(x0 ^ (t0 + t1 + k[2]), 1);
    x1 = std::rotl(x1, 1) ^ (t0 + 2 * t1 + k[3]);
  }
  // The last swap is undone: the output starts with the words changed last.
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  store_le32(out, x2 ^ fSubkeys[4]);
  store_le32(out + 4, x3 ^ fSubkeys[5]);
  store_le32(out + 8, x0 ^ fSubkeys[6]);
  store_le32(out + 12, x1 ^ fSubkeys[7]);
}

void Twofish::DecryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint32_t x2 = load_le32(in) ^ fSubkeys[4];
  uint32_t x3 = load_le32(in + 4) ^ fSubkeys[5];
  uint32_t x0 = load_le32(in + 8) ^ fSubkeys[6];
  uint32_t x1 = load_le32(in + 12) ^ fSubkeys[7];
  for (unsigned r = 16; r > 0; r -= 2) {
    const uint32_t* k = fSubkeys.data() + 8 + 2 * (r - 2);
    uint32_t t0 = G(x2);
    uint32_t t1 = G(std::rotl(x3, 8));
    x0 = std::rotl(x0, 1) ^ (t0 + t1 + k[2]);
    x1 = std::rotr(x1 ^ (t0 + 2 * t1 + k[3]), 1);
    t0 = G(x0);
    t1 = G(std::rotl(x1, 8));
    x2 = std::rotl(x2, 1) ^ (t0 + t1 + k[0]);
    x3 = std::rotr(x3 ^ (t0 + 2 * t1 + k[1]), 1);
  }
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  store_le32(out, x0 ^ fSubkeys[0]);
  store_le32(out + 4, x1 ^ fSubkeys[1]);
  store_le32(out + 8, x2 ^ fSubkeys[2]);
  store_le32(out + 12, x3 ^ fSubkeys[3]);
}

bool Twofish::SelfTest() {
  // The designers' iterated test: from an all-zero key and block, each step
  // encrypts the block, and the next key is the old block followed by the
  // leading bytes of the old key. Final ciphertexts after 49 steps.
  struct Chain {
    uint32_t bits;
    const char* final_cipher;
  };
  const Chain kChains[] = {
      {128, "5d9d4eeffa9151575524f115815a12e0"},
      {192, "e75449212beef9f4a390bd860a640941"},
      {256, "37fe26ff1cf66175f5ddf4c33b97a205"},
  };
  Twofish cipher;
  bool ok = true;
  for (const Chain& chain : kChains) {
    SecretArray<uint8_t, 32> key;
    std::array<uint8_t, 16> block{};
    for (int step = 0; step < 49; ++step) {
      cipher.Init(key.data(), chain.bits, nullptr);
      if (chain.bits == 192) std::memcpy(key.data() + 16, key.data(), 8);
      if (chain.bits == 256) std::memcpy(key.data() + 16, key.data(), 16);
      std::memcpy(key.data(), block.data(), 16);
      cipher.EncryptECB(block.data(), block.data());
      cipher.Burn();
    }
    const std::vector<uint8_t> expected = self_test::HexBytes(chain.final_cipher);
    ok = ok && std::memcmp(block.data(), expected.data(), 16) == 0;
  }
  return ok;
}

}  // namespace velsor
