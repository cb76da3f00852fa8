#pragma once
// MD5 exactly as RFC 1321 publishes it: 128-bit digest, 64-byte blocks,
// little-endian words and length.

#include "crypto/algorithm_ids.h"
#include "crypto/hashes/block_hash.h"

namespace velsor {

class Md5 final : public HashMetadata<Md5, BlockHash<64>> {
 public:
  using HashMetadata::HashMetadata;

  static int32_t GetId() { return kIdMd5; }
  static std::u16string GetAlgorithm() { return u"MD5"; }
  static int32_t GetHashSize() { return 128; }
  static bool SelfTest();

 protected:
  void LoadInitialValues() override;
  void CompressBlock(const uint8_t* block) override;
  void WipeChainingValues() override { CurrentHash.Wipe(); }
  void Finish(uint8_t* digest) override;

 private:
  SecretArray<uint32_t, 4> CurrentHash;  // A, B, C, D
};

}  // namespace velsor
