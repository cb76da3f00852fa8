#pragma once
// One numbering shared by ciphers and hashes; the numbers are fixed for good.

#include <cstdint>

namespace velsor {

inline constexpr int32_t kIdRc2 = 1;
inline constexpr int32_t kIdSha1 = 2;
inline constexpr int32_t kIdBlowfish = 5;
inline constexpr int32_t kIdTwofish = 6;
inline constexpr int32_t kIdCast128 = 7;
inline constexpr int32_t kIdRijndael = 9;
inline constexpr int32_t kIdRipemd160 = 10;
inline constexpr int32_t kIdHaval = 14;
inline constexpr int32_t kIdMd5 = 16;
inline constexpr int32_t kIdMd4 = 17;
inline constexpr int32_t kIdTiger = 18;
inline constexpr int32_t kIdRc4 = 19;
inline constexpr int32_t kIdIce = 20;
inline constexpr int32_t kIdThinIce = 21;
inline constexpr int32_t kIdIce2 = 22;
inline constexpr int32_t kIdDes = 23;
inline constexpr int32_t kIdTripleDes = 24;
inline constexpr int32_t kIdTea = 25;
inline constexpr int32_t kIdSerpent = 26;
inline constexpr int32_t kIdRipemd128 = 27;
inline constexpr int32_t kIdSha256 = 28;
inline constexpr int32_t kIdSha384 = 29;
inline constexpr int32_t kIdSha512 = 30;

}  // namespace velsor
