#pragma once
// A buffer for a piece of a message, as large as the largest piece but left
// uninitialised: the system hands its pages over only as they are first
// written, so a short message costs memory for its size only and no pass fills
// the buffer with zeros. The bytes it has held are wiped when it goes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "crypto/bytes.h"

namespace velsor {

class ChunkBuffer {
 public:
  explicit ChunkBuffer(std::size_t capacity) : fCapacity(capacity), fData(new uint8_t[capacity]) {}
  ~ChunkBuffer() { secure_wipe(fData.get(), fUsed); }
  ChunkBuffer(const ChunkBuffer&) = delete;
  ChunkBuffer& operator=(const ChunkBuffer&) = delete;

  uint8_t* Data() { return fData.get(); }
  char* Chars() { return reinterpret_cast<char*>(fData.get()); }
  std::size_t Capacity() const { return fCapacity; }

  // Notes that the first end bytes have held data: the wipe goes that far.
  void Used(std::size_t end) { fUsed = std::max(fUsed, end); }

 private:
  std::size_t fCapacity;
  std::unique_ptr<uint8_t[]> fData;
  std::size_t fUsed = 0;
};

}  // namespace velsor
