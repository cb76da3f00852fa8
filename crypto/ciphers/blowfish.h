#pragma once
// Blowfish as its designer published it in 1993: 64-bit blocks, 16 rounds,
// keys of 8 to 448 bits, an 18-word P-array and four key-dependent S-boxes
// that the key schedule derives by encrypting with the cipher itself.
//
// Constant time: no. The F function indexes the key-dependent S-boxes with
// data bytes, so cache timing can leak; on a local desktop tool that only an
// attacker already running code beside it could measure, this is accepted.

#include <array>
#include <cstdint>

#include "crypto/algorithm_ids.h"
#include "crypto/block_modes.h"
#include "crypto/bytes.h"

namespace velsor {

class Blowfish final : public CipherMetadata<Blowfish, BlockCipher64> {
 public:
  explicit Blowfish(Component* owner = nullptr);

  static constexpr CipherIdentity kIdentity{kIdBlowfish, u"Blowfish", 448};
  static bool SelfTest();

  void Burn() override;
  // Both halves are read before anything is written: Indata may equal Outdata.
  void EncryptECB(const void* Indata, void* Outdata) override;
  void DecryptECB(const void* Indata, void* Outdata) override;

 protected:
  // Uses the Size / 8 whole key bytes; bits beyond the last whole byte are
  // ignored, and a 4-bit key (no whole byte) is refused.
  void ScheduleKey(const void* Key, uint32_t Size) override;

 private:
  uint32_t F(uint32_t x) const;

  SecretArray<std::array<uint32_t, 256>, 4> fSBox;
  SecretArray<uint32_t, 18> fPBox;
};

// The initial P-array and S-boxes, digits of pi (blowfish_tables.cpp).
extern const std::array<uint32_t, 18> kBlowfishP;
extern const std::array<std::array<uint32_t, 256>, 4> kBlowfishS;

}  // namespace velsor
