#pragma once
// RIPEMD-128 as its designers published it: 128-bit digest, 64-byte blocks,
// little-endian words and length, two parallel lines of four rounds.

#include "crypto/algorithm_ids.h"
#include "crypto/hashes/block_hash.h"

namespace velsor {

class Ripemd128 final : public HashMetadata<Ripemd128, BlockHash<64>> {
 public:
  using HashMetadata::HashMetadata;

  static int32_t GetId() { return kIdRipemd128; }
  static std::u16string GetAlgorithm() { return u"RipeMD-128"; }
  static int32_t GetHashSize() { return 128; }
  static bool SelfTest();

 protected:
  void LoadInitialValues() override;
  void CompressBlock(const uint8_t* block) override;
  void WipeChainingValues() override { CurrentHash.Wipe(); }
  void Finish(uint8_t* digest) override;

 private:
  SecretArray<uint32_t, 4> CurrentHash;
};

}  // namespace velsor
