#pragma once
// What RIPEMD-128 and RIPEMD-160 share: the Boolean functions, the message
// word orders and the rotation amounts of the two lines. RIPEMD-128 uses the
// first four rounds (64 steps) of each table, RIPEMD-160 all five.

#include <cstdint>

namespace velsor::ripemd {

inline uint32_t F1(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
inline uint32_t F2(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (~x & z); }
inline uint32_t F3(uint32_t x, uint32_t y, uint32_t z) { return (x | ~y) ^ z; }
inline uint32_t F4(uint32_t x, uint32_t y, uint32_t z) { return (x & z) | (y & ~z); }
inline uint32_t F5(uint32_t x, uint32_t y, uint32_t z) { return x ^ (y | ~z); }

using BooleanFunction = uint32_t (*)(uint32_t, uint32_t, uint32_t);

// Message word selected at each step, left and right line (Dobbertin,
// Bosselaers, Preneel: "RIPEMD-160: A Strengthened Version of RIPEMD").
inline constexpr uint8_t kLeftWord[80] = {
    0, 1,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14, 15,  //
    7, 4,  13, 1,  10, 6,  15, 3,  12, 0, 9,  5,  2,  14, 11, 8,   //
    3, 10, 14, 4,  9,  15, 8,  1,  2,  7, 0,  6,  13, 11, 5,  12,  //
    1, 9,  11, 10, 0,  8,  12, 4,  13, 3, 7,  15, 14, 5,  6,  2,   //
    4, 0,  5,  9,  7,  12, 2,  10, 14, 1, 3,  8,  11, 6,  15, 13,
};
inline constexpr uint8_t kRightWord[80] = {
    5,  14, 7,  0, 9, 2,  11, 4,  13, 6,  15, 8,  1,  10, 3,  12,  //
    6,  11, 3,  7, 0, 13, 5,  10, 14, 15, 8,  12, 4,  9,  1,  2,   //
    15, 5,  1,  3, 7, 14, 6,  9,  11, 8,  12, 2,  10, 0,  4,  13,  //
    8,  6,  4,  1, 3, 11, 15, 0,  5,  12, 2,  13, 9,  7,  10, 14,  //
    12, 15, 10, 4, 1, 5,  8,  7,  6,  2,  13, 14, 0,  3,  9,  11,
};

// Left rotation amount at each step, left and right line (same source).
inline constexpr uint8_t kLeftShift[80] = {
    11, 14, 15, 12, 5,  8,  7,  9,  11, 13, 14, 15, 6,  7,  9,  8,   //
    7,  6,  8,  13, 11, 9,  7,  15, 7,  12, 15, 9,  11, 7,  13, 12,  //
    11, 13, 6,  7,  14, 9,  13, 15, 14, 8,  13, 6,  5,  12, 7,  5,   //
    11, 12, 14, 15, 14, 15, 9,  8,  9,  14, 5,  6,  8,  6,  5,  12,  //
    9,  15, 5,  11, 6,  8,  13, 12, 5,  12, 13, 14, 11, 8,  5,  6,
};
inline constexpr uint8_t kRightShift[80] = {
    8,  9,  9,  11, 13, 15, 15, 5,  7,  7,  8,  11, 14, 14, 12, 6,   //
    9,  13, 15, 7,  12, 8,  9,  11, 7,  7,  12, 7,  6,  15, 13, 11,  //
    9,  7,  15, 11, 8,  6,  6,  14, 12, 13, 5,  14, 13, 13, 7,  5,   //
    15, 5,  8,  11, 14, 14, 6,  14, 6,  9,  12, 9,  12, 5,  15, 8,   //
    8,  5,  12, 9,  12, 5,  14, 6,  8,  13, 6,  5,  15, 13, 11, 11,
};

// Additive constants: the integer parts of 2^30 times the square roots of
// 2, 3, 5, 7 (left line) and the cube roots of the same (right line).
inline constexpr uint32_t kSqrt2 = 0x5a827999, kSqrt3 = 0x6ed9eba1, kSqrt5 = 0x8f1bbcdc, kSqrt7 = 0xa953fd4e;
inline constexpr uint32_t kCbrt2 = 0x50a28be6, kCbrt3 = 0x5c4dd124, kCbrt5 = 0x6d703ef3, kCbrt7 = 0x7a6d76e9;

}  // namespace velsor::ripemd
