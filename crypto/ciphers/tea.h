#pragma once
// A TEA-design block cipher (128-bit key, 32 cycles of two Feistel steps,
// delta 9E3779B9) with a round function of its own: the four terms of each
// step are added, and the key words k0 and k2 are XORed with the half. Its
// ciphertexts are therefore not those of the published TEA, and stored
// messages depend on exactly this variant.
//
// Constant time: yes. Additions, XORs and shifts by constants only, with no
// table look-up and no data-dependent branch.

#include <cstdint>

#include "crypto/algorithm_ids.h"
#include "crypto/block_modes.h"
#include "crypto/bytes.h"

namespace velsor {

class Tea final : public CipherMetadata<Tea, BlockCipher64> {
 public:
  using CipherMetadata::CipherMetadata;

  static constexpr CipherIdentity kIdentity{kIdTea, u"Tea", 128};
  // The variant's own known answers: it has no published vectors.
  static bool SelfTest();

  void Burn() override;
  // One block as two big-endian halves; both are read before the output is
  // written, so the buffers may coincide.
  void EncryptECB(const void* Indata, void* Outdata) override;
  void DecryptECB(const void* Indata, void* Outdata) override;

 protected:
  // Key bytes big-endian into k0..k3, zero-padded; below 8 bits there is no
  // key byte and the size is refused.
  void ScheduleKey(const void* Key, uint32_t Size) override;

 private:
  SecretArray<uint32_t, 4> KeyData;  // k0..k3
};

}  // namespace velsor
