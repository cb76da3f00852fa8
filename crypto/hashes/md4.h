#pragma once
// MD4 exactly as RFC 1320 publishes it: 128-bit digest, 64-byte blocks,
// little-endian words and length.

#include "crypto/algorithm_ids.h"
#include "crypto/hashes/block_hash.h"

namespace velsor {

class Md4 final : public HashMetadata<Md4, BlockHash<64, uint32_t, 4>> {
 public:
  using HashMetadata::HashMetadata;

  static constexpr HashIdentity kIdentity{kIdMd4, u"MD4", 128};
  static bool SelfTest();

 protected:
  void LoadInitialValues() override;
  void CompressBlock(const uint8_t* block) override;
  void Finish(uint8_t* digest) override;
};

}  // namespace velsor
