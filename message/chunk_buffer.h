#pragma once
// A buffer for a piece of a message that grows with what it holds, up to a
// limit: a short message costs memory for its size only, a long one the limit.
// Its bytes start uninitialised (every one is written before it is read), and
// those it has held are wiped when it grows and when it goes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "crypto/bytes.h"

namespace velsor {

class ChunkBuffer {
 public:
  static constexpr std::size_t kFirstCapacity = std::size_t{64} << 10;

  explicit ChunkBuffer(std::size_t limit)
      : fLimit(limit), fCapacity(std::min(limit, kFirstCapacity)), fData(new uint8_t[fCapacity]) {}
  ~ChunkBuffer() { secure_wipe(fData.get(), fUsed); }
  ChunkBuffer(const ChunkBuffer&) = delete;
  ChunkBuffer& operator=(const ChunkBuffer&) = delete;

  uint8_t* Data() { return fData.get(); }
  char* Chars() { return reinterpret_cast<char*>(fData.get()); }
  std::size_t Capacity() const { return fCapacity; }
  bool Full() const { return fCapacity == fLimit; }

  // Notes that the first end bytes hold data, to be wiped.
  void Used(std::size_t end) { fUsed = std::max(fUsed, end); }

  // Doubles the room, up to the limit, keeping the first keep bytes.
  void Grow(std::size_t keep) { Resize(std::min(fLimit, 2 * fCapacity), keep); }

  // Makes room for at least size bytes, up to the limit; the contents go.
  void Reserve(std::size_t size) {
    if (size > fCapacity) Resize(std::min(fLimit, std::max(size, 2 * fCapacity)), 0);
  }

 private:
  void Resize(std::size_t capacity, std::size_t keep) {
    if (capacity <= fCapacity) return;
    std::unique_ptr<uint8_t[]> data(new uint8_t[capacity]);
    if (keep > 0) std::memcpy(data.get(), fData.get(), keep);
    secure_wipe(fData.get(), fUsed);
    fData = std::move(data);
    fCapacity = capacity;
    fUsed = keep;
  }

  std::size_t fLimit;
  std::size_t fCapacity;
  std::unique_ptr<uint8_t[]> fData;
  std::size_t fUsed = 0;
};

}  // namespace velsor
