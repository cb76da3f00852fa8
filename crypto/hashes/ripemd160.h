#pragma once
// RIPEMD-160 as its designers published it: 160-bit digest, 64-byte blocks,
// little-endian words and length, two parallel lines of five rounds.

#include "crypto/algorithm_ids.h"
#include "crypto/hashes/block_hash.h"

namespace velsor {

class Ripemd160 final : public HashMetadata<Ripemd160, BlockHash<64, uint32_t, 5>> {
 public:
  using HashMetadata::HashMetadata;

  static constexpr HashIdentity kIdentity{kIdRipemd160, u"RipeMD-160", 160};
  static bool SelfTest();

 protected:
  void LoadInitialValues() override;
  void CompressBlock(const uint8_t* block) override;
  void Finish(uint8_t* digest) override;
};

}  // namespace velsor
