#include "crypto/hashes/ripemd160.h"

#include <bit>

#include "crypto/hashes/md_common.h"
#include "crypto/hashes/ripemd_common.h"
#include "crypto/self_test.h"

namespace velsor {

namespace {

using namespace ripemd;

// One round of 16 steps of one line; round is 0 to 4.
template <BooleanFunction F>
inline void Round(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, uint32_t& e, const uint32_t* x,
                  const uint8_t* word, const uint8_t* shift, int round, uint32_t k) {
  for (int j = 16 * round; j < 16 * round + 16; ++j) {
    const uint32_t t = std::rotl(a + F(b, c, d) + x[word[j]] + k, shift[j]) + e;
    a = e;
    e = d;
    d = std::rotl(c, 10);
    c = b;
    b = t;
  }
}

}  // namespace

// MD4's four initial words and a fifth, 0xc3d2e1f0.
void Ripemd160::LoadInitialValues() {
  md_common::LoadInitialValues(CurrentHash.data());
  CurrentHash[4] = 0xc3d2e1f0;
}

void Ripemd160::CompressBlock(const uint8_t* block) {
  uint32_t x[16];
  for (int i = 0; i < 16; ++i) x[i] = load_le32(block + 4 * i);
  uint32_t& h0 = CurrentHash[0];
  uint32_t& h1 = CurrentHash[1];
  uint32_t& h2 = CurrentHash[2];
  uint32_t& h3 = CurrentHash[3];
  uint32_t& h4 = CurrentHash[4];

  uint32_t al = h0, bl = h1, cl = h2, dl = h3, el = h4;
  Round<F1>(al, bl, cl, dl, el, x, kLeftWord, kLeftShift, 0, 0);
  Round<F2>(al, bl, cl, dl, el, x, kLeftWord, kLeftShift, 1, kSqrt2);
  Round<F3>(al, bl, cl, dl, el, x, kLeftWord, kLeftShift, 2, kSqrt3);
  Round<F4>(al, bl, cl, dl, el, x, kLeftWord, kLeftShift, 3, kSqrt5);
  Round<F5>(al, bl, cl, dl, el, x, kLeftWord, kLeftShift, 4, kSqrt7);

  // The right line runs the functions in reverse order.
  uint32_t ar = h0, br = h1, cr = h2, dr = h3, er = h4;
  Round<F5>(ar, br, cr, dr, er, x, kRightWord, kRightShift, 0, kCbrt2);
  Round<F4>(ar, br, cr, dr, er, x, kRightWord, kRightShift, 1, kCbrt3);
  Round<F3>(ar, br, cr, dr, er, x, kRightWord, kRightShift, 2, kCbrt5);
  Round<F2>(ar, br, cr, dr, er, x, kRightWord, kRightShift, 3, kCbrt7);
  Round<F1>(ar, br, cr, dr, er, x, kRightWord, kRightShift, 4, 0);

  // Both lines meet the chaining words shifted by one position.
  const uint32_t t = h1 + cl + dr;
  h1 = h2 + dl + er;
  h2 = h3 + el + ar;
  h3 = h4 + al + br;
  h4 = h0 + bl + cr;
  h0 = t;
  secure_wipe(x, sizeof x);
}

void Ripemd160::Finish(uint8_t* digest) {
  PadWithLength(0x80, Endian::kLittle, 8);
  for (int i = 0; i < 5; ++i) store_le32(digest + 4 * i, CurrentHash[i]);
}

bool Ripemd160::SelfTest() {
  // The designers' RIPEMD-160 test set
  return self_test::HashKnownAnswers<Ripemd160>({
      {"a", "0bdc9d2d256b3ee9daae347be6f4dc835a467ffe"},
      {"abcdefghijklmnopqrstuvwxyz", "f71c27109c692c1b56bbdceb5b9d2865b3708dbc"},
  });
}

}  // namespace velsor
