#pragma once
// SHA-256 exactly as FIPS 180-2 publishes it: 256-bit digest, 64-byte blocks,
// big-endian words and length.

#include "crypto/algorithm_ids.h"
#include "crypto/hashes/block_hash.h"

namespace velsor {

class Sha256 final : public HashMetadata<Sha256, BlockHash<64, uint32_t, 8>> {
 public:
  using HashMetadata::HashMetadata;

  static constexpr HashIdentity kIdentity{kIdSha256, u"SHA256", 256};
  static bool SelfTest();

 protected:
  void LoadInitialValues() override;
  void CompressBlock(const uint8_t* block) override;
  void Finish(uint8_t* digest) override;
};

}  // namespace velsor
