#pragma once
// SHA-384 and SHA-512 exactly as FIPS 180-2 publishes them: 128-byte blocks,
// 64-bit big-endian words and a 128-bit length field. Both share the state and
// the compression of Sha512Base; they differ in their initial values and in
// how many words of the final state they output.

#include "crypto/algorithm_ids.h"
#include "crypto/hashes/block_hash.h"

namespace velsor {

// Not a hash of its own: it reports the Hash defaults (-1, empty name, -1).
class Sha512Base : public BlockHash<128, uint64_t, 8> {
 public:
  using BlockHash::BlockHash;

 protected:
  void CompressBlock(const uint8_t* block) override;
  void CompressBlocks(const uint8_t* blocks, std::size_t count) override;
  // Chooses the compression for the message that starts: the BMI2 and AVX2
  // one where the processor has both, the portable one elsewhere.
  void ChooseCompression();
  // Pads, compresses the last block and writes the first `words` chaining words.
  void FinishWithWords(uint8_t* digest, int words);

 public:
  // Wipes the message schedule too, then what every block hash wipes.
  void Burn() override {
    fSchedule.Wipe();
    BlockHash::Burn();
  }

 private:
  // The message schedule lives here, so Burn wipes it once instead of every
  // compression wiping its own.
  SecretArray<uint64_t, 80> fSchedule;
  SecretValue<bool> fHardware;  // the BMI2 and AVX2 compression runs
};

class Sha384 final : public HashMetadata<Sha384, Sha512Base> {
 public:
  using HashMetadata::HashMetadata;

  static constexpr HashIdentity kIdentity{kIdSha384, u"SHA384", 384};
  static bool SelfTest();

 protected:
  void LoadInitialValues() override;
  void Finish(uint8_t* digest) override { FinishWithWords(digest, 6); }
};

class Sha512 final : public HashMetadata<Sha512, Sha512Base> {
 public:
  using HashMetadata::HashMetadata;

  static constexpr HashIdentity kIdentity{kIdSha512, u"SHA512", 512};
  static bool SelfTest();

 protected:
  void LoadInitialValues() override;
  void Finish(uint8_t* digest) override { FinishWithWords(digest, 8); }
};

}  // namespace velsor
