#include "crypto/hashes/ripemd128.h"

#include <bit>

#include "crypto/hashes/md_common.h"
#include "crypto/hashes/ripemd_common.h"
#include "crypto/self_test.h"

namespace velsor {

namespace {

using namespace ripemd;

// One round of 16 steps of one line; round is 0 to 3.
template <BooleanFunction F>
inline void Round(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, const uint32_t* x, const uint8_t* word,
                  const uint8_t* shift, int round, uint32_t k) {
  for (int j = 16 * round; j < 16 * round + 16; ++j) {
    const uint32_t t = std::rotl(a + F(b, c, d) + x[word[j]] + k, shift[j]);
    a = d;
    d = c;
    c = b;
    b = t;
  }
}

}  // namespace

// The four initial words are those of MD4 and MD5.
void Ripemd128::LoadInitialValues() { md_common::LoadInitialValues(CurrentHash.data()); }

void Ripemd128::CompressBlock(const uint8_t* block) {
  uint32_t x[16];
  for (int i = 0; i < 16; ++i) x[i] = load_le32(block + 4 * i);
  uint32_t& h0 = CurrentHash[0];
  uint32_t& h1 = CurrentHash[1];
  uint32_t& h2 = CurrentHash[2];
  uint32_t& h3 = CurrentHash[3];

  uint32_t al = h0, bl = h1, cl = h2, dl = h3;
  Round<F1>(al, bl, cl, dl, x, kLeftWord, kLeftShift, 0, 0);
  Round<F2>(al, bl, cl, dl, x, kLeftWord, kLeftShift, 1, kSqrt2);
  Round<F3>(al, bl, cl, dl, x, kLeftWord, kLeftShift, 2, kSqrt3);
  Round<F4>(al, bl, cl, dl, x, kLeftWord, kLeftShift, 3, kSqrt5);

  // The right line runs the functions in reverse order.
  uint32_t ar = h0, br = h1, cr = h2, dr = h3;
  Round<F4>(ar, br, cr, dr, x, kRightWord, kRightShift, 0, kCbrt2);
  Round<F3>(ar, br, cr, dr, x, kRightWord, kRightShift, 1, kCbrt3);
  Round<F2>(ar, br, cr, dr, x, kRightWord, kRightShift, 2, kCbrt5);
  Round<F1>(ar, br, cr, dr, x, kRightWord, kRightShift, 3, 0);

  // Both lines meet the chaining words shifted by one position.
  const uint32_t t = h1 + cl + dr;
  h1 = h2 + dl + ar;
  h2 = h3 + al + br;
  h3 = h0 + bl + cr;
  h0 = t;
  secure_wipe(x, sizeof x);
}

void Ripemd128::Finish(uint8_t* digest) {
  PadWithLength(0x80, Endian::kLittle, 8);
  for (int i = 0; i < 4; ++i) store_le32(digest + 4 * i, CurrentHash[i]);
}

bool Ripemd128::SelfTest() {
  // The designers' RIPEMD-128 test set
  return self_test::HashKnownAnswers<Ripemd128>({
      {"a", "86be7afa339d0fc7cfc785e72f578d33"},
      {"abcdefghijklmnopqrstuvwxyz", "fd2aa607f71dc8f510714922b371834e"},
  });
}

}  // namespace velsor
