#pragma once
// SHA-1 exactly as FIPS 180-2 publishes it: 160-bit digest, 64-byte blocks,
// big-endian words and length.

#include "crypto/algorithm_ids.h"
#include "crypto/hashes/block_hash.h"

namespace velsor {

class Sha1 final : public HashMetadata<Sha1, BlockHash<64, uint32_t, 5>> {
 public:
  using HashMetadata::HashMetadata;

  static constexpr HashIdentity kIdentity{kIdSha1, u"SHA1", 160};
  static bool SelfTest();

 protected:
  void LoadInitialValues() override;
  void CompressBlock(const uint8_t* block) override;
  void Finish(uint8_t* digest) override;
};

}  // namespace velsor
