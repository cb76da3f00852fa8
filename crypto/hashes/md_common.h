#pragma once
// What MD4 and MD5 share besides their compression: the initial chaining
// values and the digest layout.

#include <cstdint>

#include "crypto/bytes.h"

namespace velsor::md_common {

// RFC 1320 / RFC 1321, section 3.3.
inline void LoadInitialValues(uint32_t* h) {
  h[0] = 0x67452301;
  h[1] = 0xefcdab89;
  h[2] = 0x98badcfe;
  h[3] = 0x10325476;
}

// A, B, C, D, each least significant byte first.
inline void StoreDigest(const uint32_t* h, uint8_t* digest) {
  for (int i = 0; i < 4; ++i) store_le32(digest + 4 * i, h[i]);
}

}  // namespace velsor::md_common
