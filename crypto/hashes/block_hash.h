#pragma once
// The life cycle that every block hash shares: Init burns and loads the
// initial chaining values, Update buffers and compresses each block as soon as
// it is full, Final pads, writes the digest and burns. The chaining values
// CurrentHash (Words words of type Word) and the message buffer live here and
// wipe themselves; a concrete hash supplies its identity, its initial values,
// its compression and its padding, and cannot leave any of them out:
//
//   class Md5 final : public HashMetadata<Md5, BlockHash<64, uint32_t, 4>> {
//    public:
//     using HashMetadata::HashMetadata;
//     static constexpr HashIdentity kIdentity{kIdMd5, u"MD5", 128};
//     static bool SelfTest();
//    protected:
//     void LoadInitialValues() override;
//     void CompressBlock(const uint8_t* block) override;
//     void Finish(uint8_t* digest) override;   // e.g. PadWithLength(0x80, Endian::kLittle, 8)
//   };

#include <cstddef>
#include <cstdint>

#include "crypto/bytes.h"
#include "crypto/components.h"
#include "crypto/hashes/hash_buffer.h"

namespace velsor {

enum class Endian { kLittle, kBig };

template <std::size_t N, class Word, std::size_t Words>
class BlockHash : public Hash {
 public:
  using Hash::Hash;

  void Init() override {
    Burn();
    LoadInitialValues();
    fInitialized = true;
  }

  void Update(const void* Buffer, uint32_t Size) override {
    CheckInitialized();
    fMessage.Absorb(Buffer, Size, [this](const uint8_t* block) { CompressBlock(block); });
  }

  void Final(void* Digest) override {
    CheckInitialized();
    Finish(static_cast<uint8_t*>(Digest));
    Burn();
  }

  void Burn() override {
    fMessage.Wipe();
    CurrentHash.Wipe();
    fInitialized = false;
  }

 protected:
  virtual void LoadInitialValues() = 0;
  virtual void CompressBlock(const uint8_t* block) = 0;
  // Pads the message, runs the last compressions and writes the digest.
  virtual void Finish(uint8_t* digest) = 0;

  // The common padding: the marker byte, zeros, then the bit length in the
  // last length_bytes bytes of the block (8, or 16 for a 128-bit field).
  void PadWithLength(uint8_t marker, Endian order, std::size_t length_bytes) {
    PadTo(marker, length_bytes);
    uint8_t* tail = fMessage.Block() + N - length_bytes;
    if (order == Endian::kLittle) {
      store_le64(tail, fMessage.LenLo);
      if (length_bytes == 16) store_le64(tail + 8, fMessage.LenHi);
    } else {
      if (length_bytes == 16) store_be64(tail, fMessage.LenHi);
      store_be64(tail + length_bytes - 8, fMessage.LenLo);
    }
    CompressMessageBlock();
  }

  // The marker byte at Index, leaving tail bytes free at the end of the block.
  void PadTo(uint8_t marker, std::size_t tail) {
    fMessage.Pad(marker, tail, [this](const uint8_t* block) { CompressBlock(block); });
  }

  void CompressMessageBlock() { CompressBlock(fMessage.Block()); }

  HashBlockBuffer<N> fMessage;
  SecretArray<Word, Words> CurrentHash;

 private:
  void CheckInitialized() const {
    if (!fInitialized) throw HashError(kHashNotInitialized);
  }
};

}  // namespace velsor
