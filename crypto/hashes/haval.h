#pragma once
// HAVAL with 5 passes and a 256-bit fingerprint (version 1, 128-byte blocks).
// The first padding byte is 0x80 where the HAVAL reference writes 0x01, so
// the digests differ from the published HAVAL-256/5 values; keys derived
// from stored messages depend on it.

#include "crypto/algorithm_ids.h"
#include "crypto/hashes/block_hash.h"

namespace velsor {

class Haval final : public HashMetadata<Haval, BlockHash<128, uint32_t, 8>> {
 public:
  using HashMetadata::HashMetadata;

  static constexpr HashIdentity kIdentity{kIdHaval, u"Haval (256bit, 5 passes)", 256};
  static bool SelfTest();

 protected:
  void LoadInitialValues() override;
  void CompressBlock(const uint8_t* block) override;
  void Finish(uint8_t* digest) override;
};

}  // namespace velsor
