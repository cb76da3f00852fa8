#include "crypto/ciphers/rijndael.h"

#include <array>
#include <bit>
#include <cstring>

#include "crypto/self_test.h"

namespace velsor {

namespace {

// Every 32-bit word holds one column of the state, row 0 in the least
// significant byte, so a block is four little-endian words.
constexpr uint32_t Column(uint32_t row0, uint32_t row1, uint32_t row2, uint32_t row3) {
  return row0 | (row1 << 8) | (row2 << 16) | (row3 << 24);
}
constexpr uint8_t Byte(uint32_t w, int row) { return static_cast<uint8_t>(w >> (8 * row)); }

// Multiplication in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1 (FIPS-197 4.2).
constexpr uint8_t Mul(uint8_t a, uint8_t b) {
  uint8_t product = 0;
  for (; b != 0; b = static_cast<uint8_t>(b >> 1)) {
    if (b & 1) product = static_cast<uint8_t>(product ^ a);
    a = static_cast<uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1b : 0));
  }
  return product;
}

// The multiplicative inverse is a^254 = a^2 * a^4 * ... * a^128, by repeated
// squaring: 14 multiplications instead of 254 keep the table build within the
// compilers' constant-evaluation limits. 0 maps to 0.
constexpr uint8_t Inverse(uint8_t a) {
  uint8_t power = a;
  uint8_t result = 1;
  for (int i = 1; i < 8; ++i) {
    power = Mul(power, power);
    result = Mul(result, power);
  }
  return result;
}

constexpr uint8_t Rotl8(uint8_t b, int n) { return static_cast<uint8_t>((b << n) | (b >> (8 - n))); }

// The tables below follow from the FIPS-197 definitions (5.1.1 S-box, 5.1.3
// MixColumns, 5.3.2 inverse S-box, 5.3.3 InvMixColumns) and are built by the
// compiler. te[k][x] is the column that byte x in row k contributes to a full
// round (SubBytes, then MixColumns); td[k][x] the same for an inverse round;
// u[k][x] is InvMixColumns alone, used only to turn the encryption round keys
// into those of the equivalent inverse cipher.
struct Tables {
  std::array<uint8_t, 256> sbox{};
  std::array<uint8_t, 256> inv_sbox{};
  std::array<std::array<uint32_t, 256>, 4> te{};
  std::array<std::array<uint32_t, 256>, 4> td{};
  std::array<std::array<uint32_t, 256>, 4> u{};
};

constexpr Tables MakeTables() {
  Tables t;
  for (int x = 0; x < 256; ++x) {
    const uint8_t b = Inverse(static_cast<uint8_t>(x));
    const auto s = static_cast<uint8_t>(b ^ Rotl8(b, 1) ^ Rotl8(b, 2) ^ Rotl8(b, 3) ^ Rotl8(b, 4) ^ 0x63);
    t.sbox[x] = s;
    t.inv_sbox[s] = static_cast<uint8_t>(x);
  }
  for (int x = 0; x < 256; ++x) {
    const uint8_t s = t.sbox[x];
    const uint8_t i = t.inv_sbox[x];
    const auto v = static_cast<uint8_t>(x);
    // Column 0 of the MixColumns matrix is (2, 1, 1, 3), of InvMixColumns (e, 9, d, b);
    // the other rows use the same column rotated down.
    const uint32_t te0 = Column(Mul(s, 2), s, s, Mul(s, 3));
    const uint32_t td0 = Column(Mul(i, 0x0e), Mul(i, 0x09), Mul(i, 0x0d), Mul(i, 0x0b));
    const uint32_t u0 = Column(Mul(v, 0x0e), Mul(v, 0x09), Mul(v, 0x0d), Mul(v, 0x0b));
    for (int k = 0; k < 4; ++k) {
      t.te[k][x] = std::rotl(te0, 8 * k);
      t.td[k][x] = std::rotl(td0, 8 * k);
      t.u[k][x] = std::rotl(u0, 8 * k);
    }
  }
  return t;
}

constexpr Tables kTables = MakeTables();

// Spot checks against FIPS-197 Figure 7 and Figure 14.
static_assert(kTables.sbox[0x00] == 0x63 && kTables.sbox[0x53] == 0xed && kTables.sbox[0xff] == 0x16);
static_assert(kTables.inv_sbox[0x00] == 0x52 && kTables.inv_sbox[0xff] == 0x7d);
// FIPS-197 4.2.1: {53} and {ca} are each other's inverse.
static_assert(Inverse(0x53) == 0xca && Inverse(0xca) == 0x53 && Inverse(0x00) == 0x00 && Inverse(0x01) == 0x01);

constexpr uint32_t SubWord(uint32_t w) {
  return Column(kTables.sbox[Byte(w, 0)], kTables.sbox[Byte(w, 1)], kTables.sbox[Byte(w, 2)], kTables.sbox[Byte(w, 3)]);
}

constexpr uint32_t InvMixColumn(uint32_t w) {
  return kTables.u[0][Byte(w, 0)] ^ kTables.u[1][Byte(w, 1)] ^ kTables.u[2][Byte(w, 2)] ^ kTables.u[3][Byte(w, 3)];
}

}  // namespace

void Rijndael::ScheduleKey(const void* Key, uint32_t Size) {
  const uint32_t n = Size / 8;
  SecretArray<uint8_t, 32> key;  // zero-filled, so a short key is padded with zero bytes
  std::memcpy(key.data(), Key, n);

  const int nk = n <= 16 ? 4 : n <= 24 ? 6 : 8;
  fRounds = nk + 6;
  const int words = 4 * (fRounds + 1);

  // FIPS-197 5.2. RotWord moves row 1 into row 0, a right rotation of our
  // column words; the round constant x^(i/Nk - 1) goes into row 0.
  SecretArray<uint32_t, 4 * kRows> w;
  for (int i = 0; i < nk; ++i) w[i] = load_le32(key.data() + 4 * i);
  uint8_t rcon = 0x01;
  for (int i = nk; i < words; ++i) {
    uint32_t temp = w[i - 1];
    if (i % nk == 0) {
      temp = SubWord(std::rotr(temp, 8)) ^ rcon;
      rcon = Mul(rcon, 2);
    } else if (nk > 6 && i % nk == 4) {
      temp = SubWord(temp);
    }
    w[i] = w[i - nk] ^ temp;
  }
  for (int r = 0; r <= fRounds; ++r) {
    for (int c = 0; c < 4; ++c) fRoundKeys[kRowWords * r + c] = w[4 * r + c];
  }

  // The equivalent inverse cipher (FIPS-197 5.3.5) takes the same round keys
  // with InvMixColumns applied to all but the first and the last.
  fDecryptionKeys = fRoundKeys;
  for (int r = 1; r < fRounds; ++r) {
    for (int c = 0; c < 4; ++c) fDecryptionKeys[kRowWords * r + c] = InvMixColumn(fDecryptionKeys[kRowWords * r + c]);
  }
}

void Rijndael::Burn() {
  fRounds = 0;
  fRoundKeys.Wipe();
  fDecryptionKeys.Wipe();
  BlockCipher128::Burn();
}

// Each full round is SubBytes, ShiftRows, MixColumns and AddRoundKey in
// sixteen look-ups: ShiftRows takes row k of column c from column c + k.
void Rijndael::EncryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const auto& te = kTables.te;
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint32_t s[4];
  uint32_t t[4];
  for (int c = 0; c < 4; ++c) s[c] = load_le32(in + 4 * c) ^ fRoundKeys[c];
  for (int r = 1; r < fRounds; ++r) {
    const uint32_t* key = fRoundKeys.data() + kRowWords * r;
    for (int c = 0; c < 4; ++c) {
      t[c] = te[0][Byte(s[c], 0)] ^ te[1][Byte(s[(c + 1) & 3], 1)] ^ te[2][Byte(s[(c + 2) & 3], 2)] ^
             te[3][Byte(s[(c + 3) & 3], 3)] ^ key[c];
    }
    std::memcpy(s, t, sizeof s);
  }
  // The last round has no MixColumns: each table holds the plain S-box value
  // in the rows where its column coefficient is 1.
  const uint32_t* key = fRoundKeys.data() + kRowWords * fRounds;
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  for (int c = 0; c < 4; ++c) {
    t[c] = (te[2][Byte(s[c], 0)] & 0x000000ffU) ^ (te[3][Byte(s[(c + 1) & 3], 1)] & 0x0000ff00U) ^
           (te[0][Byte(s[(c + 2) & 3], 2)] & 0x00ff0000U) ^ (te[1][Byte(s[(c + 3) & 3], 3)] & 0xff000000U) ^ key[c];
  }
  for (int c = 0; c < 4; ++c) store_le32(out + 4 * c, t[c]);
}

// The equivalent inverse cipher: InvShiftRows takes row k of column c from
// column c - k.
void Rijndael::DecryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const auto& td = kTables.td;
  const auto& inv = kTables.inv_sbox;
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint32_t s[4];
  uint32_t t[4];
  const uint32_t* last = fDecryptionKeys.data() + kRowWords * fRounds;
  for (int c = 0; c < 4; ++c) s[c] = load_le32(in + 4 * c) ^ last[c];
  for (int r = fRounds - 1; r >= 1; --r) {
    const uint32_t* key = fDecryptionKeys.data() + kRowWords * r;
    for (int c = 0; c < 4; ++c) {
      t[c] = td[0][Byte(s[c], 0)] ^ td[1][Byte(s[(c + 3) & 3], 1)] ^ td[2][Byte(s[(c + 2) & 3], 2)] ^
             td[3][Byte(s[(c + 1) & 3], 3)] ^ key[c];
    }
    std::memcpy(s, t, sizeof s);
  }
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  for (int c = 0; c < 4; ++c) {
    t[c] = Column(inv[Byte(s[c], 0)], inv[Byte(s[(c + 3) & 3], 1)], inv[Byte(s[(c + 2) & 3], 2)],
                  inv[Byte(s[(c + 1) & 3], 3)]) ^
           fDecryptionKeys[c];
  }
  for (int c = 0; c < 4; ++c) store_le32(out + 4 * c, t[c]);
}

bool Rijndael::SelfTest() {
  // FIPS-197 Appendix C.1, C.2 and C.3.
  return self_test::BlockCipherKnownAnswers<Rijndael>({
      {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff", "69c4e0d86a7b0430d8cdb78070b4c55a"},
      {"000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff",
       "dda97ca4864cdfe06eaf70a0ec0d7191"},
      {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "00112233445566778899aabbccddeeff",
       "8ea2b7ca516745bfeafc49904b496089"},
  });
}

}  // namespace velsor
