#pragma once
// CAST-128 as RFC 2144 publishes it: 64-bit blocks, keys of up to 128 bits
// padded with zero bytes to 128, 12 rounds for keys of at most ten whole
// bytes and 16 rounds for longer ones.
//
// Constant time: no. Each round indexes the S-boxes S1..S4 (and the key
// schedule S5..S8) with secret bytes; only code measuring the cache on the
// same machine could exploit it, which a local desktop tool accepts.

#include <array>
#include <cstdint>

#include "crypto/algorithm_ids.h"
#include "crypto/block_modes.h"
#include "crypto/bytes.h"

namespace velsor {

class Cast128 final : public CipherMetadata<Cast128, BlockCipher64> {
 public:
  explicit Cast128(Component* owner = nullptr);

  static constexpr CipherIdentity kIdentity{kIdCast128, u"Cast128", 128};
  static bool SelfTest();

  void Burn() override;
  // Both halves are read before anything is written: Indata may equal Outdata.
  void EncryptECB(const void* Indata, void* Outdata) override;
  void DecryptECB(const void* Indata, void* Outdata) override;

 protected:
  // Uses the Size / 8 whole key bytes; bits beyond the last whole byte are
  // ignored, and a 4-bit key (no whole byte) is refused.
  void ScheduleKey(const void* Key, uint32_t Size) override;
  // Eight blocks at a time with their rounds interleaved, then three, then one.
  void DecryptBlocks(const uint8_t* in, uint8_t* out, std::size_t n) override;

 private:
  // Words 0..15 the masking subkeys Km1..Km16, words 16..31 the rotation
  // subkeys Kr1..Kr16 (low 5 bits only).
  SecretArray<uint32_t, 32> KeyData;
  SecretValue<int32_t> fRounds;  // 12 or 16 for the current key, 0 without one
};

// S1..S8 of RFC 2144 Appendix A (cast128_tables.cpp).
extern const std::array<std::array<uint32_t, 256>, 8> kCast128S;

}  // namespace velsor
