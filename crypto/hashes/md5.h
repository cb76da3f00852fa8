#pragma once
// MD5 exactly as RFC 1321 publishes it: 128-bit digest, 64-byte blocks,
// little-endian words and length.

#include "crypto/algorithm_ids.h"
#include "crypto/hashes/block_hash.h"

namespace velsor {

class Md5 final : public HashMetadata<Md5, BlockHash<64, uint32_t, 4>> {
 public:
  using HashMetadata::HashMetadata;

  static constexpr HashIdentity kIdentity{kIdMd5, u"MD5", 128};
  static bool SelfTest();

 protected:
  void LoadInitialValues() override;
  void CompressBlock(const uint8_t* block) override;
  void Finish(uint8_t* digest) override;
};

}  // namespace velsor
