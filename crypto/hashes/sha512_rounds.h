#pragma once
// The SHA-512 step functions (FIPS 180-2, 4.1.3) and four steps of the
// compression, shared by the portable compression and the one compiled for
// BMI2 and AVX2, so both run the same arithmetic. They are always inlined:
// inside a function compiled for BMI2 they then become rorx and andn, where a
// call would run the baseline code.

#include <bit>
#include <cstdint>

namespace velsor::sha512 {

[[gnu::always_inline]] inline uint64_t Sum0(uint64_t x) {
  return std::rotr(x, 28) ^ std::rotr(x, 34) ^ std::rotr(x, 39);
}
[[gnu::always_inline]] inline uint64_t Sum1(uint64_t x) {
  return std::rotr(x, 14) ^ std::rotr(x, 18) ^ std::rotr(x, 41);
}
[[gnu::always_inline]] inline uint64_t sigma0(uint64_t x) { return std::rotr(x, 1) ^ std::rotr(x, 8) ^ (x >> 7); }
[[gnu::always_inline]] inline uint64_t sigma1(uint64_t x) { return std::rotr(x, 19) ^ std::rotr(x, 61) ^ (x >> 6); }

// One step, with the variables renamed instead of shifted: d and h take their
// new values, so the next step is Step(h, a, b, d, e, f, g, ...) with c
// implied. Ch(e, f, g) is ((f ^ g) & e) ^ g and Maj(a, b, c) is
// b ^ ((a ^ b) & (b ^ c)); b ^ c is the a ^ b of the step before, carried in
// b_xor_c, which saves an operation per step on the longest chain.
[[gnu::always_inline]] inline void Step(uint64_t a, uint64_t b, uint64_t& d, uint64_t e, uint64_t f, uint64_t g,
                                        uint64_t& h, uint64_t& b_xor_c, uint64_t kw) {
  h += kw + Sum1(e) + (((f ^ g) & e) ^ g);
  d += h;
  const uint64_t a_xor_b = a ^ b;
  h += Sum0(a) + (b ^ (a_xor_b & b_xor_c));
  b_xor_c = a_xor_b;
}

// Steps t..t+3 with kw[i] = K[t + i] + W[t + i]. The next four steps are
// FourSteps(e, f, g, h, a, b, c, d, ...): two calls make the eight-step
// rotation that brings every variable back to its name.
[[gnu::always_inline]] inline void FourSteps(uint64_t& a, uint64_t& b, uint64_t& c, uint64_t& d, uint64_t& e,
                                             uint64_t& f, uint64_t& g, uint64_t& h, uint64_t& b_xor_c,
                                             const uint64_t* kw) {
  Step(a, b, d, e, f, g, h, b_xor_c, kw[0]);
  Step(h, a, c, d, e, f, g, b_xor_c, kw[1]);
  Step(g, h, b, c, d, e, f, b_xor_c, kw[2]);
  Step(f, g, a, b, c, d, e, b_xor_c, kw[3]);
}

}  // namespace velsor::sha512
