#pragma once
// The message buffer and bit counter that every block hash shares: bytes wait
// in HashBuffer until a block is full, a full block is compressed at once, and
// the bytes at and past Index are always zero, so the padding only has to
// place its marker byte and the length.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "crypto/bytes.h"

namespace velsor {

template <std::size_t N>
class HashBlockBuffer {
 public:
  static constexpr std::size_t kBlockBytes = N;

  // Adds size bytes to the message; compress(const uint8_t* block) runs on
  // every block as soon as it is full.
  // Nothing to add is a no-op, so a null data with size 0 never reaches memcpy.
  template <class Compress>
  void Absorb(const void* data, uint32_t size, Compress&& compress) {
    if (size == 0) return;
    CountBytes(size);
    const uint8_t* in = static_cast<const uint8_t*>(data);
    std::size_t left = size;
    if (Index > 0) {
      const std::size_t room = N - Index;
      if (left < room) {
        std::memcpy(HashBuffer.data() + Index, in, left);
        Index += static_cast<uint32_t>(left);
        return;
      }
      std::memcpy(HashBuffer.data() + Index, in, room);
      in += room;
      left -= room;
      compress(HashBuffer.data());
      ClearBlock();
    }
    for (; left >= N; in += N, left -= N) compress(in);  // whole blocks straight from the input
    std::memcpy(HashBuffer.data(), in, left);
    Index = static_cast<uint32_t>(left);
  }

  // Counts size more bytes in the 128-bit bit length (modulo 2^128).
  void CountBytes(uint64_t size) {
    const uint64_t bits = size << 3;
    LenLo += bits;
    LenHi += (size >> 61) + (LenLo < bits ? 1U : 0U);
  }

  // Places the marker byte at Index and makes sure tail bytes remain free at
  // the end of the block (compressing a block of marker and zeros if not).
  // The caller then writes its tail into Block() and compresses it.
  template <class Compress>
  void Pad(uint8_t marker, std::size_t tail, Compress&& compress) {
    HashBuffer[Index] = marker;
    if (Index + 1 > N - tail) {
      compress(HashBuffer.data());
      ClearBlock();
    }
  }

  uint8_t* Block() { return HashBuffer.data(); }

  HashBlockBuffer() = default;
  HashBlockBuffer(const HashBlockBuffer&) = default;
  HashBlockBuffer& operator=(const HashBlockBuffer&) = default;
  // The counters tell the message length: they go with the buffer.
  ~HashBlockBuffer() { Wipe(); }

  // Zero state, as after Burn; the wipe of the counters survives even when
  // the object is never read again.
  void Wipe() {
    HashBuffer.Wipe();
    secure_wipe(&Index, sizeof Index);
    secure_wipe(&LenLo, sizeof LenLo);
    secure_wipe(&LenHi, sizeof LenHi);
  }

  uint64_t LenLo = 0;  // message length in bits, low 64 bits
  uint64_t LenHi = 0;  // and the high 64 bits (only the 128-bit length fields use them)
  uint32_t Index = 0;  // bytes waiting in HashBuffer
  SecretArray<uint8_t, N> HashBuffer;

 private:
  void ClearBlock() {
    HashBuffer.Wipe();
    Index = 0;
  }
};

}  // namespace velsor
