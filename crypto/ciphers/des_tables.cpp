// The DES lookup tables, computed at compile time from the tables of FIPS 46-3
// so that every constant below can be read against the standard. Bits are
// numbered as in the standard: bit 1 is the most significant.

#include <array>
#include <cstdint>

#include "crypto/ciphers/des.h"

namespace velsor {
namespace {

using Box = std::array<std::array<uint32_t, 64>, 8>;

// clang-format off

// FIPS 46-3, the selection functions S1..S8: row = bits 1 and 6 of the six
// input bits, column = bits 2 to 5.
constexpr uint8_t kSBox[8][64] = {
    {14,  4, 13,  1,  2, 15, 11,  8,  3, 10,  6, 12,  5,  9,  0,  7,
      0, 15,  7,  4, 14,  2, 13,  1, 10,  6, 12, 11,  9,  5,  3,  8,
      4,  1, 14,  8, 13,  6,  2, 11, 15, 12,  9,  7,  3, 10,  5,  0,
     15, 12,  8,  2,  4,  9,  1,  7,  5, 11,  3, 14, 10,  0,  6, 13},
    {15,  1,  8, 14,  6, 11,  3,  4,  9,  7,  2, 13, 12,  0,  5, 10,
      3, 13,  4,  7, 15,  2,  8, 14, 12,  0,  1, 10,  6,  9, 11,  5,
      0, 14,  7, 11, 10,  4, 13,  1,  5,  8, 12,  6,  9,  3,  2, 15,
     13,  8, 10,  1,  3, 15,  4,  2, 11,  6,  7, 12,  0,  5, 14,  9},
    {10,  0,  9, 14,  6,  3, 15,  5,  1, 13, 12,  7, 11,  4,  2,  8,
     13,  7,  0,  9,  3,  4,  6, 10,  2,  8,  5, 14, 12, 11, 15,  1,
     13,  6,  4,  9,  8, 15,  3,  0, 11,  1,  2, 12,  5, 10, 14,  7,
      1, 10, 13,  0,  6,  9,  8,  7,  4, 15, 14,  3, 11,  5,  2, 12},
    { 7, 13, 14,  3,  0,  6,  9, 10,  1,  2,  8,  5, 11, 12,  4, 15,
     13,  8, 11,  5,  6, 15,  0,  3,  4,  7,  2, 12,  1, 10, 14,  9,
     10,  6,  9,  0, 12, 11,  7, 13, 15,  1,  3, 14,  5,  2,  8,  4,
      3, 15,  0,  6, 10,  1, 13,  8,  9,  4,  5, 11, 12,  7,  2, 14},
    { 2, 12,  4,  1,  7, 10, 11,  6,  8,  5,  3, 15, 13,  0, 14,  9,
     14, 11,  2, 12,  4,  7, 13,  1,  5,  0, 15, 10,  3,  9,  8,  6,
      4,  2,  1, 11, 10, 13,  7,  8, 15,  9, 12,  5,  6,  3,  0, 14,
     11,  8, 12,  7,  1, 14,  2, 13,  6, 15,  0,  9, 10,  4,  5,  3},
    {12,  1, 10, 15,  9,  2,  6,  8,  0, 13,  3,  4, 14,  7,  5, 11,
     10, 15,  4,  2,  7, 12,  9,  5,  6,  1, 13, 14,  0, 11,  3,  8,
      9, 14, 15,  5,  2,  8, 12,  3,  7,  0,  4, 10,  1, 13, 11,  6,
      4,  3,  2, 12,  9,  5, 15, 10, 11, 14,  1,  7,  6,  0,  8, 13},
    { 4, 11,  2, 14, 15,  0,  8, 13,  3, 12,  9,  7,  5, 10,  6,  1,
     13,  0, 11,  7,  4,  9,  1, 10, 14,  3,  5, 12,  2, 15,  8,  6,
      1,  4, 11, 13, 12,  3,  7, 14, 10, 15,  6,  8,  0,  5,  9,  2,
      6, 11, 13,  8,  1,  4, 10,  7,  9,  5,  0, 15, 14,  2,  3, 12},
    {13,  2,  8,  4,  6, 15, 11,  1, 10,  9,  3, 14,  5,  0, 12,  7,
      1, 15, 13,  8, 10,  3,  7,  4, 12,  5,  6, 11,  0, 14,  9,  2,
      7, 11,  4,  1,  9, 12, 14,  2,  0,  6, 10, 13, 15,  3,  5,  8,
      2,  1, 14,  7,  4, 10,  8, 13, 15, 12,  9,  0,  3,  5,  6, 11},
};

// FIPS 46-3, the permutation P of the 32 S-box output bits.
constexpr uint8_t kP[32] = {
    16,  7, 20, 21, 29, 12, 28, 17,  1, 15, 23, 26,  5, 18, 31, 10,
     2,  8, 24, 14, 32, 27,  3,  9, 19, 13, 30,  6, 22, 11,  4, 25,
};

// FIPS 46-3, permuted choice 2: bits 1..28 are C, 29..56 are D.
constexpr uint8_t kPc2[48] = {
    14, 17, 11, 24,  1,  5,  3, 28, 15,  6, 21, 10,
    23, 19, 12,  4, 26,  8, 16,  7, 27, 20, 13,  2,
    41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48,
    44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32,
};

// The six C or D bits that index each PC-2 piece, first bit = most significant
// index bit. PC-2 drops C bits 9, 18, 22, 25 and D bits 35, 38, 43, 54, so four
// pieces of six cover each half; des.cpp gathers exactly these bits.
constexpr uint8_t kPc2Pieces[8][6] = {
    { 1,  2,  3,  4,  5,  6}, { 7,  8, 10, 11, 12, 13},
    {14, 15, 16, 17, 19, 20}, {21, 23, 24, 26, 27, 28},
    {29, 30, 31, 32, 33, 34}, {36, 37, 39, 40, 41, 42},
    {44, 45, 46, 47, 48, 49}, {50, 51, 52, 53, 55, 56},
};

// clang-format on

// Entry v of box i: S-box i of the six bits v, placed at output bits 4i+1..4i+4,
// through P, then rotated left by one bit because the rounds keep both halves
// rotated that way (so the expansion E becomes plain byte-aligned masks).
constexpr Box BuildSpBox() {
  Box box{};
  for (int i = 0; i < 8; ++i) {
    for (uint32_t v = 0; v < 64; ++v) {
      const uint32_t row = ((v >> 4) & 2) | (v & 1);
      const uint32_t column = (v >> 1) & 15;
      const uint32_t s = static_cast<uint32_t>(kSBox[i][16 * row + column]) << (28 - 4 * i);
      uint32_t p = 0;
      for (int bit = 0; bit < 32; ++bit) {
        if ((s >> (32 - kP[bit])) & 1) p |= 1U << (31 - bit);
      }
      box[i][v] = (p << 1) | (p >> 31);
    }
  }
  return box;
}

// Entry v of box t: the subkey bits that the six bits v of piece t supply.
// A round subkey is groups G1..G8 of six bits (the inputs of S1..S8). Pieces
// of C feed G1..G4 and are packed G1 G3 G2 G4, one group in the low six bits
// of each byte from the top; pieces of D feed G5..G8 and pack G5 G7 G6 G8.
// des.cpp then recombines them into the words G1 G3 G5 G7 and G2 G4 G6 G8.
constexpr Box BuildPc2Box() {
  constexpr unsigned kGroupShift[4] = {24, 8, 16, 0};
  Box box{};
  for (int t = 0; t < 8; ++t) {
    for (uint32_t v = 0; v < 64; ++v) {
      uint32_t word = 0;
      for (int k = 0; k < 6; ++k) {
        if (((v >> (5 - k)) & 1) == 0) continue;
        for (int out = 0; out < 48; ++out) {
          if (kPc2[out] != kPc2Pieces[t][k]) continue;
          const int group = out / 6;
          word |= 1U << (kGroupShift[group % 4] + 5 - static_cast<unsigned>(out % 6));
        }
      }
      box[t][v] = word;
    }
  }
  return box;
}

// Every PC-2 input bit lies in exactly one piece, in the half the piece serves.
constexpr bool PiecesCoverPc2() {
  for (int out = 0; out < 48; ++out) {
    int found = 0;
    for (int t = 0; t < 8; ++t) {
      for (int k = 0; k < 6; ++k) {
        if (kPc2Pieces[t][k] == kPc2[out] && (t < 4) == (out < 24)) ++found;
      }
    }
    if (found != 1) return false;
  }
  return true;
}
static_assert(PiecesCoverPc2());

}  // namespace

constinit const Box kDesSpBox = BuildSpBox();
constinit const Box kDesPc2Box = BuildPc2Box();

}  // namespace velsor
