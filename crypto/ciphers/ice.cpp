#include "crypto/ciphers/ice.h"

#include <algorithm>
#include <cstring>

#include "crypto/self_test.h"

namespace velsor {

namespace {

using SboxTables = std::array<std::array<uint32_t, 1024>, 4>;

// Constants of the designer's reference implementation, below the code.
extern const uint16_t kSboxModulus[4][4];
extern const uint8_t kSboxXor[4][4];
extern const uint8_t kPermutation[32];
extern const int kKeyRotation[16];

// Product in GF(2^8) modulo the degree-8 polynomial m (a 9-bit integer).
uint32_t GfMultiply(uint32_t a, uint32_t b, uint32_t m) {
  uint32_t product = 0;
  while (b != 0) {
    if ((b & 1U) != 0) product ^= a;
    a <<= 1;
    b >>= 1;
    if (a >= 256) a ^= m;
  }
  return product;
}

// b to the 7th power in GF(2^8) modulo m, as b^2, b^3, b^6, b^7.
uint32_t GfPower7(uint32_t b, uint32_t m) {
  if (b == 0) return 0;
  uint32_t x = GfMultiply(b, b, m);
  x = GfMultiply(b, x, m);
  x = GfMultiply(x, x, m);
  return GfMultiply(b, x, m);
}

// Bit k of x moves to bit kPermutation[k].
uint32_t Permute32(uint32_t x) {
  uint32_t result = 0;
  for (int k = 0; k < 32; ++k) {
    if (((x >> k) & 1U) != 0) result |= uint32_t{1} << kPermutation[k];
  }
  return result;
}

// The S-boxes are public and the same for every key: built once per process,
// on first use, with the thread-safe initialisation of a function-local static.
const SboxTables& Sboxes() {
  static const SboxTables tables = [] {
    SboxTables t{};
    for (uint32_t i = 0; i < 1024; ++i) {
      // The outer two bits of the 10-bit input pick the row, the inner eight the column.
      const uint32_t column = (i >> 1) & 0xFF;
      const uint32_t row = (i & 1U) | ((i & 0x200U) >> 8);
      for (int j = 0; j < 4; ++j) {
        const uint32_t x = GfPower7(column ^ kSboxXor[j][row], kSboxModulus[j][row]);
        t[j][i] = Permute32(x << (24 - 8 * j));
      }
    }
    return t;
  }();
  return tables;
}

// The round function: expand the 32-bit half to two 20-bit halves, swap the
// bits the salt selects, add the subkey and look up the four S-boxes.
inline uint32_t Round(const SboxTables& s, uint32_t p, const std::array<uint32_t, 3>& sk) {
  const uint32_t tl = ((p >> 16) & 0x3FF) | (((p >> 14) | (p << 18)) & 0xFFC00);
  const uint32_t tr = (p & 0x3FF) | ((p << 2) & 0xFFC00);
  const uint32_t m = sk[2] & (tl ^ tr);
  const uint32_t left = tl ^ m ^ sk[0];
  const uint32_t right = tr ^ m ^ sk[1];
  return s[0][left >> 10] | s[1][left & 0x3FF] | s[2][right >> 10] | s[3][right & 0x3FF];
}

}  // namespace

// The S-boxes are built when an ICE cipher is first keyed, not when one is
// created: velsor-cli creates every cipher to find the one it is asked for.
IceBase::IceBase(Component* owner) : BlockCipher64(owner) {}

void IceBase::Burn() {
  fSubkeys.Wipe();
  fRounds = 0;
  BlockCipher64::Burn();
}

void IceBase::ScheduleIceKey(const void* key_bytes, uint32_t size_bits, int level) {
  SecretArray<uint8_t, 16> key;  // zero padding for short keys
  std::memcpy(key.data(), key_bytes, std::min<std::size_t>(size_bits / 8, key.size()));
  fRounds = level == 0 ? 8 : 16 * level;

  // Four 16-bit words per 8 key bytes, kb[3] from the first pair.
  SecretArray<uint16_t, 4> kb;
  auto load_words = [&](int offset) {
    for (int w = 0; w < 4; ++w) kb[3 - w] = load_be16(key.data() + offset + 2 * w);
  };
  if (level == 0) {
    load_words(0);
    BuildSubkeys(kb.data(), 0, kKeyRotation);
    return;
  }
  for (int i = 0; i < level; ++i) {
    load_words(8 * i);
    BuildSubkeys(kb.data(), 8 * i, kKeyRotation);
    // The second half continues from the words as the first half left them.
    BuildSubkeys(kb.data(), fRounds - 8 - 8 * i, kKeyRotation + 8);
  }
}

// Eight subkeys from the four words kb, starting at subkey `first`. Each of
// the three subkey words takes 20 bits, one from each kb word in turn; a word
// rotates right by one with the bit it gives up inverted.
void IceBase::BuildSubkeys(uint16_t* kb, int first, const int* keyrot) {
  for (int i = 0; i < 8; ++i) {
    const int kr = keyrot[i];
    Subkey& sk = fSubkeys[static_cast<std::size_t>(first + i)];
    sk = {0, 0, 0};
    for (int j = 0; j < 15; ++j) {
      uint32_t& word = sk[static_cast<std::size_t>(j % 3)];
      for (int k = 0; k < 4; ++k) {
        uint16_t& w = kb[(kr + k) & 3];
        const uint32_t bit = w & 1U;
        word = (word << 1) | bit;
        w = static_cast<uint16_t>((w >> 1) | ((bit ^ 1U) << 15));
      }
    }
  }
}

// Both halves are read before any output byte is written, so Indata and
// Outdata may be the same block.
void IceBase::EncryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const SboxTables& s = Sboxes();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint32_t l = load_be32(in);
  uint32_t r = load_be32(in + 4);
  for (int32_t i = 0; i < fRounds; i += 2) {
    l ^= Round(s, r, fSubkeys[static_cast<std::size_t>(i)]);
    r ^= Round(s, l, fSubkeys[static_cast<std::size_t>(i + 1)]);
  }
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  store_be32(out, r);
  store_be32(out + 4, l);
}

void IceBase::DecryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const SboxTables& s = Sboxes();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint32_t l = load_be32(in);
  uint32_t r = load_be32(in + 4);
  for (int32_t i = fRounds - 1; i > 0; i -= 2) {
    l ^= Round(s, r, fSubkeys[static_cast<std::size_t>(i)]);
    r ^= Round(s, l, fSubkeys[static_cast<std::size_t>(i - 1)]);
  }
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  store_be32(out, r);
  store_be32(out + 4, l);
}

// The designer's published test vectors: the same plaintext at every level.
bool ThinIce::SelfTest() {
  return self_test::BlockCipherKnownAnswers<ThinIce>({{"deadbeef01234567", "fedcba9876543210", "de240d83a00a9cc0"}});
}

bool Ice::SelfTest() {
  return self_test::BlockCipherKnownAnswers<Ice>({{"deadbeef01234567", "fedcba9876543210", "7d6ef1ef30d47a96"}});
}

bool Ice2::SelfTest() {
  return self_test::BlockCipherKnownAnswers<Ice2>(
      {{"00112233445566778899aabbccddeeff", "fedcba9876543210", "f94840d86972f21c"}});
}

// ---------------------------------------------------------------------------
// Constants of the designer's reference implementation.

namespace {

// S-box moduli: irreducible polynomials of degree 8, per table and row.
const uint16_t kSboxModulus[4][4] = {
    {333, 313, 505, 369},
    {379, 375, 319, 391},
    {361, 445, 451, 397},
    {397, 425, 395, 505},
};

// S-box input offsets, XORed into the column before exponentiation.
const uint8_t kSboxXor[4][4] = {
    {0x83, 0x85, 0x9b, 0xcd},
    {0xcc, 0xa7, 0xad, 0x41},
    {0x4b, 0x2e, 0xd4, 0x33},
    {0xea, 0xcb, 0x2e, 0x04},
};

// Output permutation of the S-boxes: bit k goes to bit kPermutation[k].
const uint8_t kPermutation[32] = {0, 7, 10, 13, 19, 21, 24, 30, 3, 5, 8,  14, 16, 23, 26, 29,
                                  2, 4, 9,  15, 17, 22, 27, 28, 1, 6, 11, 12, 18, 20, 25, 31};

// Key rotations: the first eight build the first half of the schedule, the
// last eight the second.
const int kKeyRotation[16] = {0, 1, 2, 3, 2, 1, 3, 0, 1, 3, 2, 0, 3, 1, 0, 2};

}  // namespace

}  // namespace velsor
