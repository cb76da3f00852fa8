#pragma once

// Serpent's S-boxes S0..S7 and their inverses as bitslice circuits of 16 to 19
// gates each (AND, OR, XOR, NOT on whole words). Bit j of the words x[0]..x[3]
// is the 4-bit input of column j, x[0] the least significant bit; the result
// replaces x[0]..x[3] the same way. W is any word type whose operators act
// lane by lane: uint32_t for one block, a vector of them for several blocks.
// Every gate runs on every column, so no data reaches a table or a branch.

#if defined(__GNUC__) || defined(__clang__)
#define VELSOR_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define VELSOR_ALWAYS_INLINE inline
#endif

namespace velsor::serpent_sboxes {

template <class W>
VELSOR_ALWAYS_INLINE void ForwardSbox0(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  W x4 = x3;
  x3 |= x0;
  x0 ^= x4;
  x4 ^= x2;
  x4 = ~x4;
  x3 ^= x1;
  x1 &= x0;
  x1 ^= x4;
  x2 ^= x0;
  x0 ^= x3;
  x4 |= x0;
  x0 ^= x2;
  x2 &= x1;
  x3 ^= x2;
  x1 = ~x1;
  x2 ^= x4;
  x1 ^= x2;
  x[0] = x2;
  x[1] = x1;
  x[2] = x3;
  x[3] = x0;
}

template <class W>
VELSOR_ALWAYS_INLINE void ForwardSbox1(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  W x4 = x1;
  x1 ^= x0;
  x0 ^= x3;
  x3 = ~x3;
  x4 &= x1;
  x0 |= x1;
  x3 ^= x2;
  x0 ^= x3;
  x1 ^= x3;
  x3 ^= x4;
  x1 |= x4;
  x4 ^= x2;
  x2 &= x0;
  x2 ^= x1;
  x1 |= x0;
  x0 = ~x0;
  x0 ^= x2;
  x4 ^= x1;
  x[0] = x4;
  x[1] = x2;
  x[2] = x3;
  x[3] = x0;
}

template <class W>
VELSOR_ALWAYS_INLINE void ForwardSbox2(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  x3 = ~x3;
  x1 ^= x0;
  W x4 = x0;
  x0 &= x2;
  x0 ^= x3;
  x3 |= x4;
  x2 ^= x1;
  x3 ^= x1;
  x1 &= x0;
  x0 ^= x2;
  x2 &= x3;
  x3 |= x1;
  x0 = ~x0;
  x3 ^= x0;
  x4 ^= x0;
  x0 ^= x2;
  x1 |= x2;
  x[0] = x4;
  x[1] = x1;
  x[2] = x0;
  x[3] = x3;
}

template <class W>
VELSOR_ALWAYS_INLINE void ForwardSbox3(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  W x4 = x1;
  x1 ^= x3;
  x3 |= x0;
  x4 &= x0;
  x0 ^= x2;
  x2 ^= x1;
  x1 &= x3;
  x2 ^= x3;
  x0 |= x4;
  x4 ^= x3;
  x1 ^= x0;
  x0 &= x3;
  x3 &= x4;
  x3 ^= x2;
  x4 |= x1;
  x2 &= x1;
  x4 ^= x3;
  x0 ^= x3;
  x3 ^= x2;
  x[0] = x3;
  x[1] = x4;
  x[2] = x1;
  x[3] = x0;
}

template <class W>
VELSOR_ALWAYS_INLINE void ForwardSbox4(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  W x4 = x3;
  x3 &= x0;
  x0 ^= x4;
  x3 ^= x2;
  x2 |= x4;
  x0 ^= x1;
  x4 ^= x3;
  x2 |= x0;
  x2 ^= x1;
  x1 &= x0;
  x1 ^= x4;
  x4 &= x2;
  x2 ^= x3;
  x4 ^= x0;
  x3 |= x1;
  x1 = ~x1;
  x3 ^= x0;
  x[0] = x1;
  x[1] = x2;
  x[2] = x3;
  x[3] = x4;
}

template <class W>
VELSOR_ALWAYS_INLINE void ForwardSbox5(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  W x4 = x1;
  x1 |= x0;
  x2 ^= x1;
  x3 = ~x3;
  x4 ^= x0;
  x0 ^= x2;
  x1 &= x4;
  x4 |= x3;
  x4 ^= x0;
  x0 &= x3;
  x1 ^= x3;
  x3 ^= x2;
  x0 ^= x1;
  x2 &= x4;
  x1 ^= x2;
  x2 &= x0;
  x3 ^= x2;
  x[0] = x4;
  x[1] = x0;
  x[2] = x1;
  x[3] = x3;
}

template <class W>
VELSOR_ALWAYS_INLINE void ForwardSbox6(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  W x4 = x1;
  x3 ^= x0;
  x1 ^= x2;
  x2 ^= x0;
  x0 &= x3;
  x1 |= x3;
  x4 = ~x4;
  x0 ^= x1;
  x1 ^= x2;
  x3 ^= x4;
  x4 ^= x0;
  x2 &= x0;
  x4 ^= x1;
  x2 ^= x3;
  x3 &= x1;
  x3 ^= x0;
  x1 ^= x2;
  x[0] = x2;
  x[1] = x4;
  x[2] = x1;
  x[3] = x3;
}

template <class W>
VELSOR_ALWAYS_INLINE void ForwardSbox7(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  x1 = ~x1;
  W x4 = x1;
  x0 = ~x0;
  x1 &= x2;
  x1 ^= x3;
  x3 |= x4;
  x4 ^= x2;
  x2 ^= x3;
  x3 ^= x0;
  x0 |= x1;
  x2 &= x0;
  x0 ^= x4;
  x4 ^= x3;
  x3 &= x0;
  x4 ^= x1;
  x2 ^= x4;
  x3 ^= x1;
  x4 |= x0;
  x4 ^= x1;
  x[0] = x4;
  x[1] = x2;
  x[2] = x3;
  x[3] = x0;
}

template <class W>
VELSOR_ALWAYS_INLINE void InverseSbox0(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  W x4 = x3;
  x1 ^= x0;
  x3 |= x1;
  x4 ^= x1;
  x0 = ~x0;
  x2 ^= x3;
  x3 ^= x0;
  x0 &= x1;
  x0 ^= x2;
  x2 &= x3;
  x3 ^= x4;
  x2 ^= x3;
  x1 ^= x3;
  x3 &= x0;
  x1 ^= x0;
  x0 ^= x2;
  x4 ^= x3;
  x[0] = x2;
  x[1] = x4;
  x[2] = x1;
  x[3] = x0;
}

template <class W>
VELSOR_ALWAYS_INLINE void InverseSbox1(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  x1 ^= x3;
  W x4 = x0;
  x0 ^= x2;
  x2 = ~x2;
  x4 |= x1;
  x4 ^= x3;
  x3 &= x1;
  x1 ^= x2;
  x2 &= x4;
  x4 ^= x1;
  x1 |= x3;
  x3 ^= x0;
  x2 ^= x0;
  x0 |= x4;
  x2 ^= x4;
  x1 ^= x0;
  x4 ^= x1;
  x[0] = x4;
  x[1] = x1;
  x[2] = x2;
  x[3] = x3;
}

template <class W>
VELSOR_ALWAYS_INLINE void InverseSbox2(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  x2 ^= x1;
  W x4 = x3;
  x3 = ~x3;
  x3 |= x2;
  x2 ^= x4;
  x4 ^= x0;
  x3 ^= x1;
  x1 |= x2;
  x2 ^= x0;
  x1 ^= x4;
  x4 |= x3;
  x2 ^= x3;
  x4 ^= x2;
  x2 &= x1;
  x2 ^= x3;
  x3 ^= x4;
  x4 ^= x0;
  x[0] = x1;
  x[1] = x4;
  x[2] = x3;
  x[3] = x2;
}

template <class W>
VELSOR_ALWAYS_INLINE void InverseSbox3(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  x2 ^= x1;
  W x4 = x1;
  x1 &= x2;
  x1 ^= x0;
  x0 |= x4;
  x4 ^= x3;
  x0 ^= x3;
  x3 |= x1;
  x1 ^= x2;
  x1 ^= x3;
  x0 ^= x2;
  x2 ^= x3;
  x3 &= x1;
  x1 ^= x0;
  x0 &= x2;
  x4 ^= x3;
  x3 ^= x0;
  x0 ^= x1;
  x[0] = x2;
  x[1] = x0;
  x[2] = x4;
  x[3] = x3;
}

template <class W>
VELSOR_ALWAYS_INLINE void InverseSbox4(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  x2 ^= x3;
  W x4 = x0;
  x0 &= x1;
  x0 ^= x2;
  x2 |= x3;
  x4 = ~x4;
  x1 ^= x0;
  x0 ^= x2;
  x2 &= x4;
  x2 ^= x0;
  x0 |= x4;
  x0 ^= x3;
  x3 &= x2;
  x4 ^= x3;
  x3 ^= x1;
  x1 &= x0;
  x4 ^= x1;
  x0 ^= x3;
  x[0] = x0;
  x[1] = x2;
  x[2] = x4;
  x[3] = x3;
}

template <class W>
VELSOR_ALWAYS_INLINE void InverseSbox5(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  W x4 = x1;
  x1 |= x2;
  x2 ^= x4;
  x1 ^= x3;
  x3 &= x4;
  x2 ^= x3;
  x3 |= x0;
  x0 = ~x0;
  x3 ^= x2;
  x2 |= x0;
  x4 ^= x1;
  x2 ^= x4;
  x4 &= x0;
  x0 ^= x1;
  x1 ^= x3;
  x0 &= x2;
  x2 ^= x3;
  x0 ^= x2;
  x2 ^= x4;
  x4 ^= x3;
  x[0] = x1;
  x[1] = x4;
  x[2] = x0;
  x[3] = x2;
}

template <class W>
VELSOR_ALWAYS_INLINE void InverseSbox6(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  x0 ^= x2;
  W x4 = x0;
  x0 &= x3;
  x2 ^= x3;
  x0 ^= x2;
  x3 ^= x1;
  x2 |= x4;
  x2 ^= x3;
  x3 &= x0;
  x0 = ~x0;
  x3 ^= x1;
  x1 &= x2;
  x4 ^= x0;
  x3 ^= x4;
  x4 ^= x2;
  x0 ^= x1;
  x2 ^= x0;
  x[0] = x2;
  x[1] = x4;
  x[2] = x3;
  x[3] = x0;
}

template <class W>
VELSOR_ALWAYS_INLINE void InverseSbox7(W* x) {
  W x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
  W x4 = x3;
  x3 &= x0;
  x0 ^= x2;
  x2 |= x4;
  x4 ^= x1;
  x0 = ~x0;
  x1 |= x3;
  x4 ^= x0;
  x0 &= x2;
  x0 ^= x1;
  x1 &= x2;
  x3 ^= x2;
  x4 ^= x3;
  x2 &= x3;
  x3 |= x0;
  x1 ^= x4;
  x3 ^= x4;
  x4 &= x0;
  x4 ^= x2;
  x[0] = x1;
  x[1] = x3;
  x[2] = x0;
  x[3] = x4;
}

// S-box Box (0..7), or its inverse when Inverse is set.
template <int Box, bool Inverse, class W>
VELSOR_ALWAYS_INLINE void Substitute(W* x) {
  static_assert(Box >= 0 && Box < 8);
  if constexpr (Inverse) {
    if constexpr (Box == 0)
      InverseSbox0(x);
    else if constexpr (Box == 1)
      InverseSbox1(x);
    else if constexpr (Box == 2)
      InverseSbox2(x);
    else if constexpr (Box == 3)
      InverseSbox3(x);
    else if constexpr (Box == 4)
      InverseSbox4(x);
    else if constexpr (Box == 5)
      InverseSbox5(x);
    else if constexpr (Box == 6)
      InverseSbox6(x);
    else
      InverseSbox7(x);
  } else {
    if constexpr (Box == 0)
      ForwardSbox0(x);
    else if constexpr (Box == 1)
      ForwardSbox1(x);
    else if constexpr (Box == 2)
      ForwardSbox2(x);
    else if constexpr (Box == 3)
      ForwardSbox3(x);
    else if constexpr (Box == 4)
      ForwardSbox4(x);
    else if constexpr (Box == 5)
      ForwardSbox5(x);
    else if constexpr (Box == 6)
      ForwardSbox6(x);
    else
      ForwardSbox7(x);
  }
}

}  // namespace velsor::serpent_sboxes
