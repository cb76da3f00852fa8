#pragma once
// Byte-order helpers, rotations and a wipe the compiler cannot remove.
// Every cipher and hash reads and writes its words through these, so no
// algorithm file does its own shifting of bytes or unaligned pointer casts.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace velsor {

inline uint16_t load_be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint16_t load_le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

inline uint32_t load_le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint32_t load_be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}
inline uint64_t load_le64(const uint8_t* p) {
  return static_cast<uint64_t>(load_le32(p)) | (static_cast<uint64_t>(load_le32(p + 4)) << 32);
}
inline uint64_t load_be64(const uint8_t* p) {
  return (static_cast<uint64_t>(load_be32(p)) << 32) | static_cast<uint64_t>(load_be32(p + 4));
}

inline void store_le16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void store_be16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}
inline void store_le32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}
inline void store_be32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}
inline void store_le64(uint8_t* p, uint64_t v) {
  store_le32(p, static_cast<uint32_t>(v));
  store_le32(p + 4, static_cast<uint32_t>(v >> 32));
}
inline void store_be64(uint8_t* p, uint64_t v) {
  store_be32(p, static_cast<uint32_t>(v >> 32));
  store_be32(p + 4, static_cast<uint32_t>(v));
}

// Rotations with any count: the count is reduced below the width, so no shift is undefined.
inline uint32_t rotl32(uint32_t x, unsigned n) {
  n &= 31U;
  return (x << n) | (x >> ((32U - n) & 31U));
}
inline uint32_t rotr32(uint32_t x, unsigned n) {
  n &= 31U;
  return (x >> n) | (x << ((32U - n) & 31U));
}
inline uint64_t rotl64(uint64_t x, unsigned n) {
  n &= 63U;
  return (x << n) | (x >> ((64U - n) & 63U));
}
inline uint64_t rotr64(uint64_t x, unsigned n) {
  n &= 63U;
  return (x >> n) | (x << ((64U - n) & 63U));
}

// Overwrites n bytes with value through a volatile pointer, so that the store
// survives even when the memory is never read again.
inline void secure_wipe(void* p, std::size_t n, uint8_t value = 0) {
  volatile uint8_t* v = static_cast<volatile uint8_t*>(p);
  for (std::size_t i = 0; i < n; ++i) v[i] = value;
}

// A fixed array for key material and hash state: it wipes itself when destroyed,
// so a component that goes away without Burn leaves no secret behind.
template <typename T, std::size_t N>
class SecretArray : public std::array<T, N> {
 public:
  SecretArray() : std::array<T, N>{} {}
  SecretArray(const SecretArray&) = default;
  SecretArray& operator=(const SecretArray&) = default;
  ~SecretArray() { Wipe(); }
  void Wipe(uint8_t value = 0) { secure_wipe(this->data(), sizeof(T) * N, value); }
};

}  // namespace velsor
