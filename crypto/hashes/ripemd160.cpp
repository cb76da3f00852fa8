#include "crypto/hashes/ripemd160.h"

#include <bit>

#include "crypto/hashes/md_common.h"
#include "crypto/hashes/ripemd_common.h"
#include "crypto/self_test.h"

namespace velsor {

namespace {

using namespace ripemd;

// Step j of one line with its function, word, constant and rotation known at
// compile time. The variables are renamed instead of moved: a takes the new
// value and c its rotation, so step j + 1 is Step(e, a, b, c, d).
template <bool kLeft, int J>
[[gnu::always_inline]] inline void Step(uint32_t& a, uint32_t b, uint32_t& c, uint32_t d, uint32_t e,
                                        const uint8_t* block) {
  // The left line runs F1..F5 with the square-root constants, the right line
  // F5..F1 with the cube-root constants.
  constexpr int kRound = kLeft ? J / 16 : 4 - J / 16;
  constexpr BooleanFunction kFunctions[5] = {F1, F2, F3, F4, F5};
  constexpr uint32_t kLeftConstants[5] = {0, kSqrt2, kSqrt3, kSqrt5, kSqrt7};
  constexpr uint32_t kRightConstants[5] = {kCbrt2, kCbrt3, kCbrt5, kCbrt7, 0};
  constexpr uint32_t kConstant = kLeft ? kLeftConstants[J / 16] : kRightConstants[J / 16];
  constexpr int kWord = kLeft ? kLeftWord[J] : kRightWord[J];
  constexpr int kShift = kLeft ? kLeftShift[J] : kRightShift[J];
  a = std::rotl(a + kFunctions[kRound](b, c, d) + load_le32(block + 4 * kWord) + kConstant, kShift) + e;
  c = std::rotl(c, 10);
}

// Steps J..79 of both lines, side by side, since the lines are independent
// until they meet.
template <int J>
[[gnu::always_inline]] inline void Steps(uint32_t& al, uint32_t& bl, uint32_t& cl, uint32_t& dl, uint32_t& el,
                                         uint32_t& ar, uint32_t& br, uint32_t& cr, uint32_t& dr, uint32_t& er,
                                         const uint8_t* block) {
  Step<true, J>(al, bl, cl, dl, el, block);
  Step<false, J>(ar, br, cr, dr, er, block);
  if constexpr (J < 79) Steps<J + 1>(el, al, bl, cl, dl, er, ar, br, cr, dr, block);
}

}  // namespace

// MD4's four initial words and a fifth, 0xc3d2e1f0.
void Ripemd160::LoadInitialValues() {
  md_common::LoadInitialValues(CurrentHash.data());
  CurrentHash[4] = 0xc3d2e1f0;
}

// The message words are read from the block where each step needs them, so no
// copy of them is left to wipe.
void Ripemd160::CompressBlock(const uint8_t* block) {
  uint32_t& h0 = CurrentHash[0];
  uint32_t& h1 = CurrentHash[1];
  uint32_t& h2 = CurrentHash[2];
  uint32_t& h3 = CurrentHash[3];
  uint32_t& h4 = CurrentHash[4];

  uint32_t al = h0, bl = h1, cl = h2, dl = h3, el = h4;
  uint32_t ar = h0, br = h1, cr = h2, dr = h3, er = h4;
  Steps<0>(al, bl, cl, dl, el, ar, br, cr, dr, er, block);

  // 80 steps are 16 turns of the five names, so each variable holds its own
  // word again. Both lines meet the chaining words shifted by one position.
  const uint32_t t = h1 + cl + dr;
  h1 = h2 + dl + er;
  h2 = h3 + el + ar;
  h3 = h4 + al + br;
  h4 = h0 + bl + cr;
  h0 = t;
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
