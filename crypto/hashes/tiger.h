#pragma once
// Tiger as its authors first published it: 192-bit digest, three passes,
// 64-byte blocks, padding byte 0x01 (the later Tiger2 pads with 0x80).
//
// Constant time: no. Each round indexes the four 2 KiB S-boxes with message
// bytes; when the message is a passphrase, cache timing on the same machine
// could leak it, a risk a local desktop tool accepts.

#include "crypto/algorithm_ids.h"
#include "crypto/hashes/block_hash.h"

namespace velsor {

class Tiger final : public HashMetadata<Tiger, BlockHash<64, uint64_t, 3>> {
 public:
  using HashMetadata::HashMetadata;

  static constexpr HashIdentity kIdentity{kIdTiger, u"Tiger", 192};
  static bool SelfTest();

 protected:
  void LoadInitialValues() override;
  void CompressBlock(const uint8_t* block) override;
  void Finish(uint8_t* digest) override;
};

}  // namespace velsor
