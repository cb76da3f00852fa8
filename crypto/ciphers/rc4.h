#pragma once
// RC4, the one stream cipher. Every Encrypt / Decrypt call restarts the
// indices i and j at zero while the permutation carries over from the previous
// call: messages longer than one stream chunk depend on it.

#include "crypto/algorithm_ids.h"
#include "crypto/bytes.h"
#include "crypto/components.h"

namespace velsor {

class Rc4 final : public CipherMetadata<Rc4, Cipher> {
 public:
  explicit Rc4(Component* owner = nullptr);

  static int32_t GetId() { return kIdRc4; }
  static std::u16string GetAlgorithm() { return u"RC4"; }
  static int32_t GetMaxKeySize() { return 2048; }
  static bool SelfTest();

  // InitVector is accepted for the common signature and never read.
  void Init(const void* Key, uint32_t Size, const void* InitVector) override;
  void Burn() override;
  // Back to the permutation exactly as the key schedule left it.
  void Reset() override;
  void Encrypt(const void* Indata, void* Outdata, uint32_t Size) override;
  void Decrypt(const void* Indata, void* Outdata, uint32_t Size) override;

 private:
  SecretArray<uint8_t, 256> KeyData;  // the working permutation S
  SecretArray<uint8_t, 256> KeyOrg;   // S as the key schedule left it
};

}  // namespace velsor
