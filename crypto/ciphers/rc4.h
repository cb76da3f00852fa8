#pragma once
// RC4, the one stream cipher. Every Encrypt / Decrypt call restarts the
// indices i and j at zero while the permutation carries over from the previous
// call: messages longer than one stream chunk depend on it.
//
// Constant time: no. Every output byte reads and swaps the permutation at
// secret indices; the cache pattern depends on the key, which matters only to
// an attacker measuring on the same machine, accepted here.

#include "crypto/algorithm_ids.h"
#include "crypto/bytes.h"
#include "crypto/components.h"

namespace velsor {

class Rc4 final : public CipherMetadata<Rc4, Cipher> {
 public:
  explicit Rc4(Component* owner = nullptr);

  static constexpr CipherIdentity kIdentity{kIdRc4, u"RC4", 2048};
  static bool SelfTest();

  void Burn() override;
  // Back to the permutation exactly as the key schedule left it.
  void Reset() override;
  void Encrypt(const void* Indata, void* Outdata, uint32_t Size) override;
  void Decrypt(const void* Indata, void* Outdata, uint32_t Size) override;

 protected:
  // Init's InitVector is accepted for the common signature and never read.
  void ScheduleKey(const void* Key, uint32_t Size) override;

 private:
  SecretArray<uint8_t, 256> KeyData;  // the working permutation S
  SecretArray<uint8_t, 256> fKeyOrg;  // S as the key schedule left it
};

}  // namespace velsor
