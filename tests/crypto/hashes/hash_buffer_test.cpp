// The bit counter shared by the block hashes: the full length of every Update,
// without feeding gigabytes through a hash.

#include "crypto/hashes/hash_buffer.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace velsor {
namespace {

TEST(HashBlockBuffer, CountsEveryBitOfLargeUpdates) {
  struct Case {
    const char* name;
    uint64_t start_lo;
    uint64_t start_hi;
    uint64_t bytes;
    uint64_t lo;
    uint64_t hi;
  };
  const Case cases[] = {
      // 2^29 bytes are 2^32 bits: the bits past the low 32 must not be lost.
      {"2^29 bytes", 0, 0, uint64_t{1} << 29, uint64_t{1} << 32, 0},
      {"largest Update", 0, 0, 0xffffffff, 0x7fffffff8, 0},
      // A bit count that passes 2^64 carries into the high word.
      {"carry", ~uint64_t{0} - 7, 0, 2, 8, 1},
      {"carry onto a high word", ~uint64_t{0}, 5, 1, 7, 6},
      // The three top bits of a byte count are bits 64 to 66 of the bit count.
      {"2^61 bytes", 0, 0, uint64_t{1} << 61, 0, 1},
      {"2^64 - 1 bytes", 0, 0, ~uint64_t{0}, ~uint64_t{0} - 7, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HashBlockBuffer<128> buffer;
    buffer.LenLo = c.start_lo;
    buffer.LenHi = c.start_hi;
    buffer.CountBytes(c.bytes);
    EXPECT_EQ(buffer.LenLo, c.lo);
    EXPECT_EQ(buffer.LenHi, c.hi);
  }
}

}  // namespace
}  // namespace velsor
