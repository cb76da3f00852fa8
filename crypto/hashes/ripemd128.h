#pragma once
// RIPEMD-128 as its designers published it: 128-bit digest, 64-byte blocks,
// little-endian words and length, two parallel lines of four rounds.

#include "crypto/algorithm_ids.h"
#include "crypto/hashes/block_hash.h"

namespace velsor {

class Ripemd128 final : public HashMetadata<Ripemd128, BlockHash<64, uint32_t, 4>> {
 public:
  using HashMetadata::HashMetadata;

  static constexpr HashIdentity kIdentity{kIdRipemd128, u"RipeMD-128", 128};
  static bool SelfTest();

 protected:
  void LoadInitialValues() override;
  void CompressBlock(const uint8_t* block) override;
  void Finish(uint8_t* digest) override;
};

}  // namespace velsor
