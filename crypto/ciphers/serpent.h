#pragma once
// Serpent as specified in its AES submission: 32 rounds, eight 4-bit S-boxes
// and the linear transformation, written in bitslice form. Blocks and keys are
// little-endian words, byte 0 holding bits 0..7; a key shorter than 256 bits
// is padded with one 1 bit and zeros, so every length is a key of its own.
//
// Constant time: yes, on the portable and the AVX2 path alike. The bitslice
// S-boxes and the linear transformation use only logic operations, shifts and
// rotations by constants: no table is indexed with secret data and no branch
// depends on it.

#include "crypto/algorithm_ids.h"
#include "crypto/block_modes.h"
#include "crypto/bytes.h"

namespace velsor {

class Serpent final : public CipherMetadata<Serpent, BlockCipher128> {
 public:
  using CipherMetadata::CipherMetadata;

  static constexpr CipherIdentity kIdentity{kIdSerpent, u"Serpent", 256};
  static bool SelfTest();

  void Burn() override;
  void EncryptECB(const void* Indata, void* Outdata) override;
  void DecryptECB(const void* Indata, void* Outdata) override;

 protected:
  // A key of 4 bits holds no whole byte and is refused.
  void ScheduleKey(const void* Key, uint32_t Size) override;
  // With AVX2 where the processor has it: sixteen or eight blocks at a time,
  // the chaining XOR on the same vectors; the rest goes to DecryptBlocks.
  void DecryptCbcBlocks(const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) override;
  // Four blocks at a time, one in each lane of a vector.
  void DecryptBlocks(const uint8_t* in, uint8_t* out, std::size_t n) override;

 private:
  static constexpr int kRoundKeys = 33;
  SecretArray<uint32_t, 4 * kRoundKeys> fRoundKeys;  // K0..K32, four words each
  SecretValue<bool> fAvx2;                           // CBC decryption runs on AVX2 with this key
};

}  // namespace velsor
