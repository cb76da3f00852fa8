#pragma once
// Twofish as its designers published it (1998): 128-bit blocks, 16 rounds,
// keys of 128, 192 and 256 bits. A key of another length is zero-padded up to
// the next of these, and the length class follows the size in bits: 132 bits
// take 16 key bytes but run Twofish-192. Full keying: the key setup folds the
// four key-dependent S-boxes and the MDS matrix into four 256-word tables, so
// that each g function is four look-ups.
//
// Constant time: no. With full keying each g function is four look-ups in
// key-dependent tables indexed with data bytes; a cache-timing attacker would
// have to run on the same machine, which a local desktop tool accepts.

#include <array>
#include <cstdint>

#include "crypto/algorithm_ids.h"
#include "crypto/block_modes.h"
#include "crypto/bytes.h"

namespace velsor {

class Twofish final : public CipherMetadata<Twofish, BlockCipher128> {
 public:
  // The first construction in the process builds the shared MDS table.
  explicit Twofish(Component* owner = nullptr);

  static constexpr CipherIdentity kIdentity{kIdTwofish, u"Twofish", 256};
  // The designers' iterated known-answer test, 49 steps for each key length.
  static bool SelfTest();

  void Burn() override;
  // One 16-byte block; the input is read completely first, so the buffers may coincide.
  void EncryptECB(const void* Indata, void* Outdata) override;
  void DecryptECB(const void* Indata, void* Outdata) override;

 protected:
  // Sizes below 8 bits leave no key byte and are refused.
  void ScheduleKey(const void* Key, uint32_t Size) override;

 private:
  uint32_t G(uint32_t x) const;

  SecretArray<uint32_t, 40> fSubkeys;                    // K0..K3 input, K4..K7 output whitening, K8..K39 round keys
  SecretArray<std::array<uint32_t, 256>, 4> fKeyedSbox;  // key-dependent S-box i times MDS column i
};

}  // namespace velsor
